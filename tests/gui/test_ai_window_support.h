#pragma once
// Shared by the AI window tests: settings on a temporary file, waiting for
// and cancelling the busy dialog, and grabbing a window to a PNG.

#include "ai/gui/AIDialogueFormWorker.h"
#include "project/AppSettings.h"
#include "tests/core/test_ai_servers.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace AIWindowTest {

// A settings object on a file in its own temporary folder.
class TScratchSettings {
public:
    TScratchSettings() : Settings(FDir.filePath(QStringLiteral("tlw_settings.json"))) {}
    QString Folder() const { return FDir.path(); }
    // What a fresh load of the file says.
    QString StoredKey() const
    {
        TAppSettings reread(Settings.FilePath());
        reread.Load();
        return reread.AIAPIKey();
    }

private:
    QTemporaryDir FDir;

public:
    TAppSettings Settings;
};

// For the text service windows: a certificate the windows trust, scratch
// settings, and the messages a window shows.
class TTextWindowTest : public ::testing::Test {
protected:
    AITest::TSelfSignedCertificate Cert;
    TScratchSettings Scratch;
    QStringList Messages;

    // A window of type TForm sending to `server` (nowhere when null), with
    // its messages caught in Messages.
    template <class TForm>
    std::unique_ptr<TForm> MakeTextForm(const AITest::TLoopbackServer* server, int timeoutMs)
    {
        auto form = std::make_unique<TForm>(nullptr, &Scratch.Settings);
        TAIServiceEndpoint endpoint;
        if (server)
            endpoint.BaseURL = server->BaseURL(QStringLiteral("/v1"));
        endpoint.TrustedCertificateFile = Cert.CertFile;
        endpoint.TimeoutMs = timeoutMs;
        form->SetServiceEndpoint(endpoint);
        form->SetMessageHandler([this](const QString& text) { Messages << text; });
        return form;
    }

    std::unique_ptr<AITest::TLoopbackServer> Serve(AITest::THandler handler)
    {
        auto server = std::make_unique<AITest::TLoopbackServer>(std::move(handler), Cert);
        EXPECT_TRUE(server->IsBound());
        return server;
    }
};

// Presses Cancel on the busy dialog of `owner` as soon as it exists.
inline void CancelBusyDialogWhenShown(QWidget* owner)
{
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, owner, [owner, timer] {
        auto* busy = owner->findChild<QProgressDialog*>(QString::fromLatin1(AIBusyCall::DialogName));
        if (busy) {
            timer->stop();
            timer->deleteLater();
            // As the user does: cancel() alone does not tell the waiting window.
            if (auto* button = busy->findChild<QPushButton*>())
                button->click();
        }
    });
    timer->start(10);
}

// Runs `answer` on the first modal window of type TForm once it is open,
// as a user would answer a window that a command shows with exec().
template <class TForm>
void AnswerWhenOpen(std::function<void(TForm*)> answer)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto* form = qobject_cast<TForm*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(form);
        }
    });
    timer->start(10);
}

// Saves the window's look as <build folder>/aiwin_<name>.png for a human to
// look at; returns whether it could.
inline bool GrabToPng(QWidget* window, const QString& name)
{
    window->show();
    QApplication::processEvents();
    const QPixmap picture = window->grab();
    window->hide();
    return !picture.isNull()
        && picture.save(QDir(QApplication::applicationDirPath()).filePath(QStringLiteral("aiwin_%1.png").arg(name)));
}

}
