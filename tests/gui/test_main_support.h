#pragma once
// Shared by the main window tests: dialogs answered by the test, a
// temporary home for the settings, recent list and autosave copies, and
// small project files.

#include "model/DialogueTypes.h"
#include "model/JsonText.h"
#include "project/AppPaths.h"
#include "shell/MainForm.h"
#include "tests/support/ScriptedShellDialogs.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace MainTest {

using TScriptedDialogs = TScriptedShellDialogs;

// A window whose settings, recent list and autosave copies live in a
// temporary folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Home.isValid());
        AppPaths::SetBaseDirOverride(Home.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Home.filePath(QStringLiteral("user")));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Home.filePath(QStringLiteral("user")));
        NewWindow();
    }
    void TearDown() override
    {
        Window.reset();
        AppPaths::SetBaseDirOverride(QString());
    }

    void NewWindow()
    {
        Window.reset();
        auto dialogs = std::make_unique<TScriptedDialogs>();
        Dialogs = dialogs.get();
        Window = std::make_unique<TMainForm>(std::move(dialogs));
        Window->resize(1280, 800);
    }

    QAction* Action(const QString& name) const
    {
        QAction* a = Window->findChild<QAction*>(name);
        EXPECT_NE(a, nullptr) << name.toStdString();
        return a;
    }
    void Trigger(const QString& name) const
    {
        if (QAction* a = Action(name))
            a->trigger();
    }
    QString LastLog() const
    {
        const QStringList lines = Window->LogLines();
        return lines.isEmpty() ? QString() : lines.last();
    }
    // The log text after the time stamp, so lines compare exactly.
    QStringList LogTexts() const
    {
        QStringList texts;
        for (const QString& line : Window->LogLines())
            texts << line.mid(10);   // "[hh:mm:ss]"
        return texts;
    }
    QString Path(const QString& name) const { return Home.filePath(name); }

    QTemporaryDir Home;
    std::unique_ptr<TMainForm> Window;
    TScriptedDialogs* Dialogs = nullptr;
};

// A small project saved as `path`: three chained nodes, one with options.
inline void WriteSampleProject(const QString& path, const QString& name = QStringLiteral("Brana Talk"))
{
    TDialogueProject p;
    p.SetName(name);
    p.SetNPCName(QStringLiteral("Brana"));
    p.SetNPCScript(QStringLiteral("Brana_Dialogue"));
    TDialogueNode* a = p.AddNode(ntNPCDialogue);
    a->SetText(QStringLiteral("Who goes there?"));
    a->SetSpeaker(QStringLiteral("Brana"));
    a->SetIsStartNode(true);
    a->SetX(40);
    a->SetY(40);
    TDialogueNode* b = p.AddNode(ntPlayerReply);
    b->SetText(QStringLiteral("A friend."));
    b->SetX(360);
    b->SetY(40);
    TDialogueNode* c = p.AddNode(ntEndDialogue);
    c->SetX(680);
    c->SetY(40);
    a->AddOption()->TargetNodeID = b->ID();
    a->AddOption()->Text = QStringLiteral("Leave");
    b->SetNextNodeID(c->ID());
    p.SetStartNodeID(a->ID());
    p.SaveToFile(path);
}

using TestSupport::DocumentText;

inline QByteArray WithoutSaveTime(QByteArray fileBytes)
{
    const qsizetype at = fileBytes.indexOf("\"modifiedDate\"");
    if (at >= 0)
        fileBytes.remove(at, fileBytes.indexOf('\n', at) - at);
    return fileBytes;
}

}
