#pragma once
// Shared by the SSL and MSG importer tests: text built from lines as the
// games' files are written, one import into a fresh project, and the
// seeded mutation run over the fixtures.

#include "interchange/SSLMSGText.h"
#include "model/TextEncoding.h"
#include "tests/support/TestSupport.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <random>
#include <utility>

namespace ImportTest {

// Joins lines with CR LF, as a file written on Windows.
inline QString CrLfLines(std::initializer_list<const char*> lines)
{
    QString s;
    for (const char* l : lines)
        s += QString::fromUtf8(l) + QStringLiteral("\r\n");
    return s;
}

template <class TImporter>
struct TImported {
    using TResult = decltype(std::declval<TImporter&>().ImportFromText(
        QString(), std::declval<std::unique_ptr<TDialogueProject>&>()));
    TResult result;
    std::unique_ptr<TDialogueProject> project;
};

template <class TImporter>
TImported<TImporter> ImportWith(const QString& text)
{
    TImported<TImporter> r;
    TImporter importer;
    r.result = importer.ImportFromText(text, r.project);
    return r;
}

// Mutates each fixture `perFixture` times with `mutate(bytes, rng)` and
// imports the result with `importChecked(text, project)`, which checks the
// importer's promises. Stops at the first failure with the mutated bytes
// in the message. The mutations must reach the error and warning paths.
template <class TMutate, class TImportChecked>
void RunSeededMutations(const QStringList& fixtures, std::mt19937::result_type seed, int perFixture,
                        TMutate mutate, TImportChecked importChecked)
{
    std::mt19937 rng(seed);
    int withErrors = 0;
    int withWarnings = 0;
    for (const QString& f : fixtures) {
        const QByteArray original = TestSupport::ReadFile(TestSupport::DataPath(f));
        for (int i = 0; i < perFixture; ++i) {
            const QByteArray mutated = mutate(original, rng);
            std::unique_ptr<TDialogueProject> p;
            const auto r = importChecked(TextEncoding::DecodeText(mutated), p);
            if (::testing::Test::HasFailure()) {
                ADD_FAILURE() << "mutation " << i << " of " << f.toStdString() << ":\n"
                              << mutated.toHex().toStdString();
                return;
            }
            withErrors += r.Errors.isEmpty() ? 0 : 1;
            withWarnings += r.WarningCount > 0 ? 1 : 0;
        }
    }
    EXPECT_GT(withErrors, 0);
    EXPECT_GT(withWarnings, 0);
}

// A few random edits of a script: bytes changed, inserted and removed, the
// words scripts are made of inserted, slices repeated and swapped.
inline QByteArray MutateScript(const QByteArray& input, std::mt19937& rng)
{
    static const char specials[] = {'(', ')', '{', '}', '"', ';', ',', '\0', '\r', '\n', ' ', '\xff', '\x80', '-'};
    static const char* const words[] = {"procedure ", "begin", "end", "if (", "else", "NOption(", "giq_option(",
                                        "Reply(", "call ", "skill_check(", "display_msg(\"", "99999999999"};
    QByteArray b = input;
    const int edits = 1 + int(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        const qsizetype pos = b.isEmpty() ? 0 : qsizetype(rng() % quint32(b.size()));
        switch (rng() % 7) {
        case 0: if (!b.isEmpty()) b[pos] = char(rng() & 0xFF); break;
        case 1: b.insert(pos, specials[rng() % sizeof specials]); break;
        case 2: b.insert(pos, words[rng() % (sizeof words / sizeof *words)]); break;
        case 3: b.remove(pos, qsizetype(rng() % 40)); break;
        case 4: b.truncate(pos); break;
        case 5: { // duplicate a slice
            const qsizetype len = qsizetype(rng() % 200);
            b.insert(pos, b.mid(pos, len));
            break;
        }
        default: { // swap two lines' worth of bytes
            const qsizetype other = b.isEmpty() ? 0 : qsizetype(rng() % quint32(b.size()));
            const qsizetype len = qsizetype(rng() % 60);
            const QByteArray x = b.mid(pos, len);
            const QByteArray y = b.mid(other, len);
            if (x.size() == len && y.size() == len && (pos + len <= other || other + len <= pos)) {
                b.replace(pos, len, y);
                b.replace(other, len, x);
            }
            break;
        }
        }
    }
    return b;
}

// The same one-node text saved as UTF-8, UTF-8 with BOM and Windows-1252
// ("enc_utf8", "enc_utf8_bom", "enc_cp1252" under import/, with the given
// extension) reads back alike, and the project is named after the file.
template <class TImporter>
void ExpectEncodingsReadAlike(const char* extension)
{
    const QString expected = QStringLiteral("Caf\u00e9 \u2013 5 caps, na\u00efve \u201cquotes\u201d \u20ac");
    for (const char* stem : {"enc_utf8", "enc_utf8_bom", "enc_cp1252"}) {
        const QString file = QStringLiteral("import/%1.%2").arg(QLatin1String(stem), QLatin1String(extension));
        TImporter importer;
        std::unique_ptr<TDialogueProject> p;
        const auto r = importer.ImportFromFile(TestSupport::DataPath(file), p);
        ASSERT_TRUE(r.Success) << file.toStdString();
        ASSERT_EQ(r.NodeCount, 1) << file.toStdString();
        EXPECT_EQ(p->NodeAt(0)->Text(), expected) << file.toStdString();
        EXPECT_EQ(p->Name(), SSLMSGText::FileTitle(file)) << file.toStdString();
    }
}

}
