// The image client and the sprite generator against real HTTP servers on
// the loopback interface (HTTPS for a server that is not "local").

#include "ai/AIImageGenerator.h"
#include "ai/PngCodec.h"
#include "ai/TileText.h"
#include "tests/core/test_ai_servers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace AITest;

namespace {

struct TDrawnText { int X, Y; QString Text; TColor Color; int PointSize; };

class TRecordingPainter : public ITileTextPainter {
public:
    void DrawText(TRgbaImage&, int x, int y, const QString& text, TColor color, int pointSize) override
    {
        std::lock_guard<std::mutex> guard(FLock);
        Drawn.push_back({x, y, text, color, pointSize});
    }
    std::vector<TDrawnText> Drawn;

private:
    std::mutex FLock;
};

TRgbaImage Sample(int width, int height)
{
    TRgbaImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixel(x, y, RGBToColor(x * 7, y * 5, 90));
    return image;
}

std::string Base64Png(const TRgbaImage& image)
{
    return PngCodec::Encode(image).toBase64().toStdString();
}

std::string ImagesReply(const std::string& first)
{
    return "{\"images\":[\"" + first + "\"],\"info\":\"{}\"}";
}

class ImageClientTest : public ::testing::Test {
protected:
    void SetUp() override { TileText::SetPainter(Painter); }
    void TearDown() override { TileText::SetPainter(nullptr); }

    std::shared_ptr<TRecordingPainter> Painter = std::make_shared<TRecordingPainter>();
};

// Serves "/sdapi/v1/txt2img", "/prompt" or both; other paths get 404.
THandler Routes(const std::string& txt2img, const std::string& prompt)
{
    return [=](const httplib::Request& req, httplib::Response& res) {
        const auto endsWith = [&](const std::string& tail) {
            return req.path.size() >= tail.size()
                && req.path.compare(req.path.size() - tail.size(), tail.size(), tail) == 0;
        };
        const bool isTxt2Img = endsWith("/sdapi/v1/txt2img");
        const bool isPrompt = endsWith("/prompt");
        const std::string& body = isTxt2Img ? txt2img : isPrompt ? prompt : std::string();
        if (body.empty()) {
            res.status = 404;
            res.set_content("not here", "text/plain");
            return;
        }
        res.set_content(body, "application/json");
    };
}

} // namespace

TEST_F(ImageClientTest, DecodesTheFirstImageAndSendsTheTxt2ImgBody)
{
    const TRgbaImage sample = Sample(8, 4);
    TLoopbackServer server(Routes(ImagesReply(Base64Png(sample)), std::string()));
    TSDImageClient client(QString(), server.BaseURL(), QStringLiteral("sdxl-sprite"));
    const TImageGenResult result =
        client.GenerateImage(QStringLiteral("ghoul, \"glowing\"\neyes \u00e9"), QString(), 64, 32, 25, 6.5);
    ASSERT_TRUE(result.Success) << result.ErrorMessage.toStdString();
    EXPECT_TRUE(result.ErrorMessage.isEmpty());
    EXPECT_EQ(result.Image, sample);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Method, "POST");
    EXPECT_EQ(requests[0].Path, "/sdapi/v1/txt2img");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/json");
    EXPECT_FALSE(requests[0].HasHeader("Authorization"));
    EXPECT_EQ(requests[0].Body,
              "{\"prompt\":\"ghoul, \\\"glowing\\\"\\neyes \\u00E9\",\"negative_prompt\":\"blurry, watermark, "
              "text, signature, modern, deformed, extra limbs\",\"width\":64,\"height\":32,\"steps\":25,"
              "\"cfg_scale\":6.5,\"sampler_name\":\"Euler a\",\"batch_size\":1}");
}

TEST_F(ImageClientTest, KeyAndOwnNegativePromptAreSent)
{
    TLoopbackServer server(Routes(ImagesReply(Base64Png(Sample(2, 2))), std::string()));
    TSDImageClient client(QStringLiteral("img-key"), server.BaseURL(), QStringLiteral("m"));
    ASSERT_TRUE(client.GenerateImage(QStringLiteral("raider"), QStringLiteral("clean"), 64, 64, 20, 7.0).Success);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer img-key");
    EXPECT_NE(requests[0].Body.find("\"negative_prompt\":\"clean\",\"width\":64"), std::string::npos);
    EXPECT_NE(requests[0].Body.find("\"cfg_scale\":7.0,"), std::string::npos);
}

TEST_F(ImageClientTest, DataUriAndLineBrokenBase64DecodeTheSame)
{
    const TRgbaImage sample = Sample(16, 16);
    std::string wrapped = Base64Png(sample);
    for (size_t i = 60; i < wrapped.size(); i += 62)
        wrapped.insert(i, "\\r\\n");
    for (const std::string& text : {"data:image/png;base64," + Base64Png(sample), wrapped}) {
        TLoopbackServer server(Routes(ImagesReply(text), std::string()));
        TSDImageClient client(QString(), server.BaseURL(), QStringLiteral("m"));
        const TImageGenResult result = client.GenerateImage(QStringLiteral("settler"), QString(), 16, 16, 20, 7.0);
        ASSERT_TRUE(result.Success) << result.ErrorMessage.toStdString();
        EXPECT_EQ(result.Image, sample);
    }
}

TEST_F(ImageClientTest, ServerOnPort8188FallsBackToPrompt)
{
    // A path carrying "8188" stands in for the well-known port, which a
    // test cannot count on having.
    TLoopbackServer server(Routes(std::string(), ImagesReply(Base64Png(Sample(4, 4)))));
    TSDImageClient client(QString(), server.BaseURL(QStringLiteral("/gpu8188")), QStringLiteral("m"));
    const TImageGenResult result = client.GenerateImage(QStringLiteral("vault"), QString(), 64, 64, 20, 7.0);
    ASSERT_TRUE(result.Success) << result.ErrorMessage.toStdString();

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Path, "/gpu8188/sdapi/v1/txt2img");
    EXPECT_EQ(requests[1].Path, "/gpu8188/prompt");
    EXPECT_EQ(requests[0].Body, requests[1].Body);
    EXPECT_EQ(requests[1].Body,
              "{\"prompt\":\"vault\",\"negative_prompt\":\"blurry, watermark, text, signature, modern, "
              "deformed, extra limbs\",\"width\":64,\"height\":64,\"steps\":20,\"cfg_scale\":7.0,"
              "\"batch_size\":1,\"batch_count\":1}");
}

TEST_F(ImageClientTest, DefaultAddressIsTheLocalServerOn8188)
{
    TLoopbackServer server(Routes(std::string(), ImagesReply(Base64Png(Sample(64, 64)))), "127.0.0.1", 8188);
    if (!server.IsBound())
        GTEST_SKIP() << "port 8188 is taken on this machine";
    TAIImageGenerator generator(QStringLiteral("sdxl-sprite"));
    generator.SetAPIKey(QStringLiteral("k"));
    const TRgbaImage sprite = generator.GenerateSprite(QStringLiteral("ghoul"), QString(), 64, 64);
    EXPECT_EQ(sprite, Sample(64, 64));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].Path, "/prompt");
}

TEST_F(ImageClientTest, NoFallbackWithout8188)
{
    TLoopbackServer server(Routes(std::string(), ImagesReply(Base64Png(Sample(4, 4)))));
    TSDImageClient client(QString(), server.BaseURL(), QStringLiteral("m"));
    const TImageGenResult result = client.GenerateImage(QStringLiteral("vault"), QString(), 64, 64, 20, 7.0);
    EXPECT_FALSE(result.Success);
    EXPECT_EQ(result.ErrorMessage, QStringLiteral("HTTP error: The server answered 404 Not Found."));
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(ImageClientTest, BadRepliesGiveTheirMessages)
{
    QByteArray truncatedPng = PngCodec::Encode(Sample(32, 32));
    truncatedPng.chop(40);
    struct Case { const char* Name; int Status; std::string Body; QString Message; } cases[] = {
        {"not JSON", 200, "<html>busy</html>", QStringLiteral("Invalid JSON response")},
        {"array", 200, "[\"abc\"]", QStringLiteral("Invalid JSON response")},
        {"no images", 200, "{\"info\":1}", QStringLiteral("No images in response")},
        {"empty images", 200, "{\"images\":[]}", QStringLiteral("No images in response")},
        {"images not an array", 200, "{\"images\":\"abc\"}", QStringLiteral("No images in response")},
        {"bad base64", 200, ImagesReply("@@not*base64@@"), QStringLiteral("HTTP error: The image data is not valid base64.")},
        {"not a PNG", 200, ImagesReply(QByteArray("GIF89a....").toBase64().toStdString()),
         QStringLiteral("HTTP error: The data is not a PNG image.")},
        {"broken PNG", 200, ImagesReply(truncatedPng.toBase64().toStdString()),
         QStringLiteral("HTTP error: The PNG data is truncated.")},
        {"server error", 500, "{\"images\":[]}", QStringLiteral("HTTP error: The server answered 500 Internal Server Error.")},
    };
    for (const Case& c : cases) {
        TLoopbackServer server(Reply(c.Status, c.Body));
        TSDImageClient client(QString(), server.BaseURL(), QStringLiteral("m"));
        const TImageGenResult result = client.GenerateImage(QStringLiteral("ghoul"), QString(), 64, 64, 20, 7.0);
        EXPECT_FALSE(result.Success) << c.Name;
        EXPECT_TRUE(result.Image.IsNull()) << c.Name;
        EXPECT_EQ(result.ErrorMessage, c.Message) << c.Name;
    }
}

TEST_F(ImageClientTest, SlowServerTimesOut)
{
    TLoopbackServer* raw = nullptr;
    TLoopbackServer server([&raw](const httplib::Request&, httplib::Response& res) {
        raw->WaitForRelease();
        res.set_content("{\"images\":[]}", "application/json");
    });
    raw = &server;
    TSDImageClient client(QString(), server.BaseURL(), QStringLiteral("m"));
    EXPECT_EQ(client.Timeout(), 120000);
    client.SetTimeout(300);
    const auto start = std::chrono::steady_clock::now();
    const TImageGenResult result = client.GenerateImage(QStringLiteral("ghoul"), QString(), 64, 64, 20, 7.0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(result.Success);
    EXPECT_TRUE(result.ErrorMessage.startsWith(QStringLiteral("HTTP error: No reply from 127.0.0.1:")))
        << result.ErrorMessage.toStdString();
    EXPECT_EQ(result.Failure.Kind, rfTimeout);
}

// A worker's request is ended by another thread's Cancel while the server
// is still silent, and later requests on that thread end before sending.
// The requesting half of the generator draws nothing: the tile text is
// drawn by the thread that composes the frames.
TEST_F(ImageClientTest, CancelEndsASilentRequestAndRequestsDrawNoText)
{
    std::atomic<bool> answered{false};
    TLoopbackServer* raw = nullptr;
    TLoopbackServer server([&](const httplib::Request&, httplib::Response& res) {
        raw->WaitForRelease();
        answered = true;
        res.status = 500;
    });
    raw = &server;
    TAIImageGenerator generator(QStringLiteral("sdxl-sprite"));
    generator.SetBaseURL(server.BaseURL());
    generator.SetAPIKey(QStringLiteral("k"));
    const auto cancel = std::make_shared<TRequestCancel>();
    std::vector<TSpriteFrame> frames;
    std::thread worker([&] {
        TCancelScope scope(cancel);
        frames = generator.RequestSpriteSheet({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 3);
    });
    while (server.Requests().empty())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    cancel->Cancel();
    worker.join();
    EXPECT_FALSE(answered);
    EXPECT_EQ(server.Requests().size(), 1u);
    ASSERT_EQ(frames.size(), 3u);
    for (const TSpriteFrame& frame : frames) {
        EXPECT_FALSE(frame.Result.Success);
        EXPECT_EQ(frame.Result.Failure.Kind, rfCancelled);
    }
    EXPECT_TRUE(Painter->Drawn.empty());

    const TRgbaImage sheet = TAIImageGenerator::ComposeSheet(frames, 3, 64, 64);
    EXPECT_EQ(sheet.Width, 192);
    EXPECT_EQ(sheet.PixelColor(191, 63), RGBToColor(255, 0, 0));
    ASSERT_EQ(Painter->Drawn.size(), 3u);
    EXPECT_EQ(Painter->Drawn[0].Text, QStringLiteral("HTTP error: The request was cancelle"));
}

TEST_F(ImageClientTest, ServerThatIsNotLocalIsReachedOverHttps)
{
    // 127.0.0.2 is loopback too, but not one of the names that mark a
    // local server, so the client must speak TLS to it.
    TSelfSignedCertificate cert("127.0.0.2");
    TLoopbackServer server(Routes(ImagesReply(Base64Png(Sample(3, 3))), std::string()), cert, "127.0.0.2");
    ASSERT_TRUE(server.IsBound());
    const QString plainURL = QStringLiteral("http://127.0.0.2:%1/x8188").arg(server.Port());
    TSDImageClient client(QStringLiteral("key"), plainURL, QStringLiteral("m"));
    EXPECT_FALSE(client.IsLocalServer());
    client.SetTrustedCertificateFile(cert.CertFile);
    const TImageGenResult result = client.GenerateImage(QStringLiteral("knight"), QString(), 64, 64, 20, 7.0);
    ASSERT_TRUE(result.Success) << result.ErrorMessage.toStdString();
    EXPECT_EQ(result.Image, Sample(3, 3));
    EXPECT_EQ(server.Requests().size(), 1u);   // no second attempt away from home

    TSDImageClient untrusting(QStringLiteral("key"), plainURL, QStringLiteral("m"));
    const TImageGenResult refused = untrusting.GenerateImage(QStringLiteral("knight"), QString(), 64, 64, 20, 7.0);
    EXPECT_FALSE(refused.Success);
    EXPECT_EQ(refused.Failure.Kind, rfTls);
    EXPECT_TRUE(refused.ErrorMessage.startsWith(QStringLiteral("HTTP error: ")));
}

TEST_F(ImageClientTest, BlankPromptAndMockModeSendNothing)
{
    TLoopbackServer server(Reply(200, "{}"));
    TSDImageClient client(QStringLiteral("k"), server.BaseURL(), QStringLiteral("m"));
    const TImageGenResult blank = client.GenerateImage(QStringLiteral("  \n"), QString(), 64, 64, 20, 7.0);
    EXPECT_FALSE(blank.Success);
    EXPECT_EQ(blank.ErrorMessage, QStringLiteral("Prompt cannot be empty."));

    client.SetMockMode(true);
    const TImageGenResult mock =
        client.GenerateImage(QStringLiteral("a wasteland raider with a spiked bat"), QString(), 64, 64, 20, 7.0);
    ASSERT_TRUE(mock.Success);
    EXPECT_EQ(mock.Image.Width, 64);
    EXPECT_EQ(mock.Image.PixelColor(0, 0), RGBToColor(128, 64, 64));
    EXPECT_EQ(mock.Image.PixelColor(63, 63), RGBToColor(128, 64, 64));
    ASSERT_EQ(Painter->Drawn.size(), 1u);
    const TDrawnText& text = Painter->Drawn[0];
    EXPECT_EQ(text.Text, QStringLiteral("Mock: a wasteland raider w"));
    EXPECT_EQ(text.X, 4);
    EXPECT_EQ(text.Y, 26);
    EXPECT_EQ(text.Color, RGBToColor(255, 255, 255));
    EXPECT_EQ(text.PointSize, 10);
    EXPECT_TRUE(server.Requests().empty());
}

// --- the generator --------------------------------------------------------

TEST_F(ImageClientTest, BlankKeyMakesPlaceholderSheets)
{
    TAIImageGenerator generator(QStringLiteral("sdxl-sprite"));
    EXPECT_EQ(generator.Width(), 64);
    EXPECT_EQ(generator.BaseURL(), QStringLiteral("http://127.0.0.1:8188"));
    const TRgbaImage sheet = generator.GenerateSpriteSheet(
        {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three"), QStringLiteral("four")}, 4);
    EXPECT_EQ(sheet.Width, 256);
    EXPECT_EQ(sheet.Height, 64);
    for (int frame = 0; frame < 4; ++frame)
        EXPECT_EQ(sheet.PixelColor(frame * 64 + 63, 63), RGBToColor(128, 64, 64)) << frame;
    ASSERT_EQ(Painter->Drawn.size(), 4u);
    EXPECT_EQ(Painter->Drawn[3].Text, QStringLiteral("Mock: four"));
    EXPECT_EQ(Painter->Drawn[3].Y, 26);

    const TRgbaImage partial = generator.GenerateSpriteSheet({QStringLiteral("a"), QStringLiteral("b")}, 4);
    EXPECT_EQ(partial.Width, 256);
    EXPECT_EQ(partial.PixelColor(64, 10), RGBToColor(128, 64, 64));
    EXPECT_EQ(partial.PixelColor(128, 10), RGBToColor(0, 0, 0));
    EXPECT_EQ(partial.PixelColor(255, 63), RGBToColor(0, 0, 0));

    EXPECT_TRUE(generator.GenerateSpriteSheet({QStringLiteral("a")}, 0).IsNull());
    EXPECT_TRUE(generator.GenerateSpriteSheet({QStringLiteral("a")}, 1000).IsNull());
}

TEST_F(ImageClientTest, FailedFramesBecomeRedTilesWithTheMessage)
{
    TLoopbackServer server(Reply(200, "{\"images\":[]}"));
    TAIImageGenerator generator(QStringLiteral("sdxl-sprite"));
    generator.SetBaseURL(server.BaseURL());
    generator.SetAPIKey(QStringLiteral("k"));
    const TRgbaImage tile = generator.GenerateSprite(QStringLiteral("ghoul"), QString(), 32, 48);
    EXPECT_EQ(tile.Width, 32);
    EXPECT_EQ(tile.Height, 48);
    EXPECT_EQ(tile.PixelColor(31, 47), RGBToColor(255, 0, 0));
    ASSERT_EQ(Painter->Drawn.size(), 1u);
    EXPECT_EQ(Painter->Drawn[0].Text, QStringLiteral("No images in response"));
    EXPECT_EQ(Painter->Drawn[0].X, 4);
    EXPECT_EQ(Painter->Drawn[0].Y, 4);
    EXPECT_EQ(generator.LastResult().ErrorMessage, QStringLiteral("No images in response"));

    Painter->Drawn.clear();
    TAIImageGenerator unreachable(QStringLiteral("sdxl-sprite"));
    unreachable.SetBaseURL(QStringLiteral("http://127.0.0.1:%1").arg(ClosedPort()));
    unreachable.SetAPIKey(QStringLiteral("k"));
    unreachable.GenerateSprite(QStringLiteral("ghoul"), QString(), 32, 32);
    ASSERT_EQ(Painter->Drawn.size(), 1u);
    EXPECT_EQ(Painter->Drawn[0].Text, QStringLiteral("HTTP error: Could not connect to 127"));
    EXPECT_EQ(Painter->Drawn[0].Text.size(), 36);
    EXPECT_EQ(TAIImageGenerator::FailureTile(QString(), 8, 8).PixelColor(0, 0), RGBToColor(255, 0, 0));
    EXPECT_EQ(Painter->Drawn.back().Text, QStringLiteral("GEN FAIL"));
}

TEST_F(ImageClientTest, GeneratorPrefixesStyleAndKeepsItsFirstKey)
{
    TLoopbackServer server(Routes(ImagesReply(Base64Png(Sample(16, 16))), std::string()));
    TAIImageGenerator generator(QStringLiteral("sdxl-sprite"));
    generator.SetBaseURL(server.BaseURL());
    generator.SetNegativePrompt(QStringLiteral("modern"));
    generator.SetAPIKey(QStringLiteral("first"));
    const TRgbaImage sprite = generator.GenerateSprite(QStringLiteral("ghoul"), QStringLiteral(" pixel "), 64, 64);
    EXPECT_EQ(sprite.Width, 64);   // the 16 by 16 reply, scaled to the size asked for
    EXPECT_EQ(sprite.PixelColor(63, 63), Sample(16, 16).PixelColor(15, 15));
    generator.SetAPIKey(QStringLiteral("second"));
    generator.GenerateSprite(QStringLiteral("raider"), QString(), 64, 64);
    generator.SetAPIKey(QString());
    generator.GenerateSprite(QStringLiteral("mock now"), QString(), 64, 64);

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].Body.rfind("{\"prompt\":\" pixel , ghoul\",\"negative_prompt\":\"modern\",", 0), 0u)
        << requests[0].Body;
    EXPECT_EQ(requests[1].Body.rfind("{\"prompt\":\"raider\",", 0), 0u) << requests[1].Body;
    EXPECT_EQ(requests[0].Header("Authorization"), "Bearer first");
    EXPECT_EQ(requests[1].Header("Authorization"), "Bearer first");
    EXPECT_NE(requests[0].Body.find("\"steps\":20,\"cfg_scale\":7.0,"), std::string::npos);
}
