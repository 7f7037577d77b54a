#pragma once
// Shared by the game import tests: one import of a fixture or a text, the
// script rebuilt from the frame, and the layout check.

#include "interchange/GameDialogueImporter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

namespace GameImportTest {

struct TImport {
    TGameImportResult Result;
    std::unique_ptr<TDialogueProject> Project;
    QHash<QString, QString> Procedures;
    QHash<QString, QString> Declarations;

    const TDialogueNode& Node(const char* id) const
    {
        const TDialogueNode* n = Project->FindNode(QLatin1String(id));
        if (!n)
            throw std::runtime_error(std::string("no node ") + id);
        return *n;
    }
};

inline void Keep(TImport& r, const TGameDialogueImporter& importer)
{
    r.Procedures = importer.DialogueProcedureSources();
    r.Declarations = importer.DialogueDeclarationSources();
}

inline TImport ImportFixture(const QString& stem, const QString& messagePath = QString())
{
    TImport r;
    TGameDialogueImporter importer;
    r.Result = importer.ImportFromFile(
        TestSupport::DataPath(QStringLiteral("gameimport/") + stem + QStringLiteral(".ssl")), messagePath, r.Project);
    Keep(r, importer);
    return r;
}

inline TImport ImportText(const QString& script, const QString* messages)
{
    TImport r;
    TGameDialogueImporter importer;
    r.Result = importer.ImportFromText(script, messages, r.Project);
    Keep(r, importer);
    return r;
}

// The script the frame stands for, each place filled with the text that
// stood there.
inline QString Reassemble(const TImport& r)
{
    QString text;
    for (const TGameScriptPart& part : r.Project->GameScript().Parts) {
        switch (part.Kind) {
        case TGameScriptPart::gpText: text += part.Text; break;
        case TGameScriptPart::gpDeclaration: text += r.Declarations.value(part.Text.toLower()); break;
        case TGameScriptPart::gpProcedure: text += r.Procedures.value(part.Text.toLower()); break;
        }
    }
    return text;
}

inline void ExpectNoOverlaps(const TDialogueProject& p)
{
    for (int i = 0; i < p.NodeCount(); ++i)
        for (int j = i + 1; j < p.NodeCount(); ++j) {
            const TDialogueNode* a = p.NodeAt(i);
            const TDialogueNode* b = p.NodeAt(j);
            const bool apart = a->X() + a->Width() <= b->X() || b->X() + b->Width() <= a->X()
                || a->Y() + a->Height() <= b->Y() || b->Y() + b->Height() <= a->Y();
            EXPECT_TRUE(apart) << a->ID().toStdString() << " overlaps " << b->ID().toStdString();
        }
}

}
