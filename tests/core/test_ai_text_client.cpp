// The text-service client against real HTTPS servers on the loopback
// interface: what goes over the wire and what comes back.

#include "ai/OllamaCloudClient.h"
#include "tests/core/test_ai_servers.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace AITest;

namespace {

class TextClientTest : public ::testing::Test {
protected:
    TSelfSignedCertificate Cert;

    std::unique_ptr<TLoopbackServer> Serve(THandler handler)
    {
        auto server = std::make_unique<TLoopbackServer>(std::move(handler), Cert);
        EXPECT_TRUE(server->IsBound());
        return server;
    }

    TOllamaCloudClient ClientFor(const TLoopbackServer& server, const QString& key = QStringLiteral("sk-test"))
    {
        TOllamaCloudClient client(key, QStringLiteral("llama3.1"));
        client.SetBaseURL(server.BaseURL(QStringLiteral("/v1")));
        client.SetTrustedCertificateFile(Cert.CertFile);
        return client;
    }
};

QString Prompt(int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text.append(QChar('a' + i % 26));
    return text;
}

} // namespace

TEST(TextClientDefaults, ConstructorSetsTheServiceDefaults)
{
    TOllamaCloudClient client(QStringLiteral("key"), QStringLiteral("llama3.1"));
    EXPECT_EQ(client.Timeout(), 60000);
    EXPECT_FALSE(client.MockMode());
    EXPECT_EQ(client.Model(), QStringLiteral("llama3.1"));
    const TServiceAddress address = TServiceAddress::Parse(client.BaseURL());
    EXPECT_EQ(address.Scheme, QStringLiteral("https"));
    EXPECT_EQ(address.PathPrefix, QStringLiteral("/v1"));
}

TEST_F(TextClientTest, MockModeAndBlankKeysSendNothing)
{
    auto server = Serve(Reply(200, R"({"response":"real"})"));
    struct Case { QString Key; bool Mock; } cases[] = {
        {QString(), false}, {QStringLiteral("   \t"), false}, {QStringLiteral("sk-test"), true}};
    for (const Case& c : cases) {
        TOllamaCloudClient client = ClientFor(*server, c.Key);
        client.SetMockMode(c.Mock);
        EXPECT_EQ(client.GenerateText(QStringLiteral("Hi"), 200), QStringLiteral("[MOCK] I am llama3.1. Hi..."));
        const QString long60 = Prompt(60);
        EXPECT_EQ(client.GenerateText(long60, 200),
                  QStringLiteral("[MOCK] I am llama3.1. ") + long60.left(50) + QStringLiteral("..."));
        EXPECT_FALSE(client.LastFailure().IsFailure());
    }
    EXPECT_TRUE(server->Requests().empty());
}

TEST_F(TextClientTest, SendsTheExactRequest)
{
    auto server = Serve(Reply(200, R"({"response":"ok"})"));
    TOllamaCloudClient client = ClientFor(*server);
    const QString prompt = QStringLiteral("Line one\nCaf\u00e9 \"quoted\" back\\slash a/b\ttab\r\b\f")
                         + QChar(0x01) + QChar(0x7F) + QString::fromUtf8("\xF0\x9F\x98\x80");
    ASSERT_EQ(client.GenerateText(prompt, 200), QStringLiteral("ok"));

    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    const TRecordedRequest& r = requests[0];
    EXPECT_EQ(r.Method, "POST");
    EXPECT_EQ(r.Path, "/v1/api/generate");
    EXPECT_EQ(r.Header("Content-Type"), "application/json");
    EXPECT_EQ(r.Header("Authorization"), "Bearer sk-test");
    EXPECT_EQ(r.Body,
              "{\"model\":\"llama3.1\",\"prompt\":\"Line one\\nCaf\\u00E9 \\\"quoted\\\" back\\\\slash a/b"
              "\\ttab\\r\\b\\f\\u0001\x7F\\uD83D\\uDE00\",\"max_tokens\":200,\"temperature\":0.7,"
              "\"stream\":false}");
    EXPECT_EQ(QByteArray::fromStdString(r.Body), client.RequestBody(prompt, 200));
}

TEST_F(TextClientTest, ReplyShapesBecomeResults)
{
    struct Case { int Status; std::string Body; QString Expected; } cases[] = {
        {200, R"({"response":"Welcome, \"wanderer\".\nStay a while."})",
         QStringLiteral("Welcome, \"wanderer\".\nStay a while.")},
        {200, R"({"error":"model not found"})", QStringLiteral("Error: model not found")},
        {200, R"({"response":"first","error":"ignored"})", QStringLiteral("first")},
        {200, R"({"done":true,"model":"x"})", QStringLiteral("Response: {\"done\":true,\"model\":\"x\"}")},
        {201, R"({"response":"created"})", QStringLiteral("created")},
        {200, R"({"error":{"code":7}})", QStringLiteral("Error: {\"code\":7}")},
    };
    for (const Case& c : cases) {
        auto server = Serve(Reply(c.Status, c.Body));
        TOllamaCloudClient client = ClientFor(*server);
        EXPECT_EQ(client.GenerateText(QStringLiteral("Hello"), 200), c.Expected) << c.Body;
        EXPECT_FALSE(client.LastFailure().IsFailure());
    }
}

TEST_F(TextClientTest, BodiesThatAreNotObjectsGiveErrorTexts)
{
    for (const std::string body : {"<html>Bad gateway</html>", "[1,2,3]", "", "{\"response\":"}) {
        auto server = Serve(Reply(200, body, "text/html"));
        TOllamaCloudClient client = ClientFor(*server);
        const QString result = client.GenerateText(QStringLiteral("Hello"), 200);
        EXPECT_TRUE(result.startsWith(QStringLiteral("Error: "))) << body << " -> " << result.toStdString();
        EXPECT_FALSE(result.contains(QStringLiteral("sk-test")));
    }
}

TEST_F(TextClientTest, ErrorStatusesFallBackToThePlaceholderWithTheReason)
{
    const QString prompt = Prompt(100);
    for (int status : {401, 403, 404, 500, 302}) {
        auto server = Serve(Reply(status, R"({"response":"must not be used"})"));
        TOllamaCloudClient client = ClientFor(*server);
        EXPECT_EQ(client.GenerateText(prompt, 1000),
                  QStringLiteral("[MOCK] llama3.1: ") + prompt.left(80) + QStringLiteral("..."));
        EXPECT_EQ(client.LastFailure().Kind, rfHttpStatus);
        EXPECT_EQ(client.LastFailure().HttpStatus, status);
    }
    auto server = Serve(Reply(401, "{}"));
    TOllamaCloudClient client = ClientFor(*server);
    client.GenerateText(QStringLiteral("Hi"), 200);
    EXPECT_EQ(client.LastFailure().UserHint(), QStringLiteral("The service answered 401: check the API key."));
}

TEST_F(TextClientTest, SlowReplyTimesOut)
{
    TLoopbackServer* raw = nullptr;
    auto server = Serve([&raw](const httplib::Request&, httplib::Response& res) {
        raw->WaitForRelease();
        res.set_content(R"({"response":"too late"})", "application/json");
    });
    raw = server.get();
    TOllamaCloudClient client = ClientFor(*server);
    client.SetTimeout(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.GenerateText(QStringLiteral("Hi"), 200), QStringLiteral("[MOCK] llama3.1: Hi..."));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
    EXPECT_EQ(client.LastFailure().Kind, rfTimeout);
    EXPECT_EQ(client.LastFailure().UserHint(), QStringLiteral("The service did not answer in time."));
}

TEST_F(TextClientTest, UntrustedCertificateIsRefused)
{
    auto server = Serve(Reply(200, R"({"response":"should not be read"})"));
    TOllamaCloudClient client(QStringLiteral("sk-test"), QStringLiteral("llama3.1"));
    client.SetBaseURL(server->BaseURL(QStringLiteral("/v1")));
    EXPECT_EQ(client.GenerateText(QStringLiteral("Hi"), 200), QStringLiteral("[MOCK] llama3.1: Hi..."));
    EXPECT_EQ(client.LastFailure().Kind, rfTls);
}

TEST_F(TextClientTest, CertificateForAnotherHostIsRefused)
{
    TSelfSignedCertificate otherHost("127.0.0.9");
    TLoopbackServer server(Reply(200, R"({"response":"should not be read"})"), otherHost);
    TOllamaCloudClient client(QStringLiteral("sk-test"), QStringLiteral("llama3.1"));
    client.SetBaseURL(server.BaseURL(QStringLiteral("/v1")));
    client.SetTrustedCertificateFile(otherHost.CertFile);
    EXPECT_EQ(client.GenerateText(QStringLiteral("Hi"), 200), QStringLiteral("[MOCK] llama3.1: Hi..."));
    EXPECT_EQ(client.LastFailure().Kind, rfTls);
}

TEST(TextClientNoServer, RefusedConnectionGivesThePlaceholder)
{
    TOllamaCloudClient client(QStringLiteral("sk-test"), QStringLiteral("llama3.1"));
    client.SetBaseURL(QStringLiteral("https://127.0.0.1:%1/v1").arg(ClosedPort()));
    EXPECT_EQ(client.GenerateText(QStringLiteral("Hi"), 200), QStringLiteral("[MOCK] llama3.1: Hi..."));
    EXPECT_EQ(client.LastFailure().Kind, rfNoConnection);
}

TEST_F(TextClientTest, HugeReplyIsRefusedWithAnError)
{
    auto server = Serve(Reply(200, "{\"response\":\"" + std::string(17 * 1024 * 1024, 'x') + "\"}"));
    TOllamaCloudClient client = ClientFor(*server);
    const QString result = client.GenerateText(QStringLiteral("Hi"), 200);
    EXPECT_TRUE(result.startsWith(QStringLiteral("Error: "))) << result.left(80).toStdString();
    EXPECT_EQ(client.LastFailure().Kind, rfReplyTooLarge);
}

TEST_F(TextClientTest, GenerateJSONCutsOutTheObject)
{
    struct Case { std::string Body; bool HasObject; } cases[] = {
        {R"({"response":"Sure! {\"mood\": \"grim\", \"n\": 2} Hope that helps."})", true},
        {R"({"response":"} nothing here {"})", false},
        {R"({"response":"no braces at all"})", false},
        {R"({"response":"{not json}"})", false},
    };
    for (const Case& c : cases) {
        auto server = Serve(Reply(200, c.Body));
        TOllamaCloudClient client = ClientFor(*server);
        const auto object = client.GenerateJSON(QStringLiteral("Give JSON"), 200);
        ASSERT_EQ(object.has_value(), c.HasObject) << c.Body;
        if (object) {
            EXPECT_EQ(object->value(QStringLiteral("mood")).toString(), QStringLiteral("grim"));
            EXPECT_EQ(object->value(QStringLiteral("n")).toInt(), 2);
        }
    }
}
