#include "cli/CliApp.h"

#include "export/ModExporter.h"
#include "export/ExportFiles.h"
#include "interchange/FormatRegistry.h"
#include "interchange/ImportLog.h"
#include "model/DialogueTypes.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

const QString ProgramName = QStringLiteral("tallowin-cli");

// The export log's lines without their time stamp.
QString WithoutTime(const QString& line)
{
    const qsizetype gap = line.indexOf(QLatin1String("  "));
    return gap >= 0 && gap <= 8 ? line.mid(gap + 2) : line;
}

// One command's parser: --format, -o and --help, and the positional input.
struct TCommandLine {
    QCommandLineParser Parser;
    QCommandLineOption Format{QStringList{QStringLiteral("f"), QStringLiteral("format")},
                              QStringLiteral("The file format."), QStringLiteral("format")};
    QCommandLineOption Output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Where to write."), QStringLiteral("path")};
    QCommandLineOption Help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help.")};
    QCommandLineOption Companion{QStringList{QStringLiteral("msg")},
                                 QStringLiteral("The message file of a game script."), QStringLiteral("file")};

    TCommandLine(bool withFormatAndOutput, bool withCompanion = false)
    {
        Parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        if (withFormatAndOutput)
            Parser.addOptions({Format, Output});
        if (withCompanion)
            Parser.addOption(Companion);
        Parser.addOption(Help);
    }
    // False with `problem` set when the arguments are not understood.
    bool Parse(const QStringList& args, QString& problem)
    {
        if (!Parser.parse(QStringList{ProgramName} + args)) {
            problem = Parser.errorText();
            return false;
        }
        return true;
    }
};

// What export and import share: "COMMAND --format KEY INPUT -o OUTPUT".
struct TFormatCommand {
    bool HelpAsked = false;
    QString Key;
    QString Input;
    QString Output;

    // Empty when the arguments hold all three parts (or ask for help);
    // otherwise what is wrong, in the words of `command`, which names its
    // input `inputName` and its output `outputName`.
    QString Read(TCommandLine& line, const QStringList& args, const QString& command, const QString& inputName,
                 const QString& outputName)
    {
        QString problem;
        if (!line.Parse(args, problem))
            return problem;
        HelpAsked = line.Parser.isSet(line.Help);
        if (HelpAsked)
            return QString();
        const QStringList inputs = line.Parser.positionalArguments();
        Key = line.Parser.value(line.Format);
        Output = line.Parser.value(line.Output);
        if (Key.isEmpty())
            return command + QStringLiteral(" needs --format");
        if (inputs.size() != 1)
            return command + QStringLiteral(" needs exactly one ") + inputName;
        if (Output.isEmpty())
            return command + QStringLiteral(" needs -o ") + outputName;
        Input = inputs.first();
        return QString();
    }
};

} // namespace

int TCliApp::Run(const QStringList& args)
{
    if (args.isEmpty()) {
        FErr << "Usage: " << ProgramName << " export|validate|import ... (see '" << ProgramName << " --help')\n";
        return ExitUsage;
    }
    const QString command = args.first();
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("--help") || command == QLatin1String("-h") || command == QLatin1String("help")) {
        Help();
        return ExitOk;
    }
    if (command == QLatin1String("export"))
        return Export(rest);
    if (command == QLatin1String("validate"))
        return Validate(rest);
    if (command == QLatin1String("import"))
        return Import(rest);
    return Usage(QStringLiteral("unknown command '%1'").arg(command), QString());
}

// ---------------------------------------------------------------------------

void TCliApp::Help()
{
    FOut << "Usage: " << ProgramName << " COMMAND [OPTIONS]\n\n"
         << "Works with Tallowin dialogue projects (.tlw) without the editor.\n\n"
         << "Commands:\n"
         << "  export    write a project in another format\n"
         << "  validate  check a project and list its problems\n"
         << "  import    make a project from a file of another format\n\n"
         << "'" << ProgramName << " COMMAND --help' describes one command.\n"
         << "Exit status: 0 done, 1 the command failed (or found errors), 2 it could not run.\n";
}

void TCliApp::ExportHelp()
{
    FOut << "Usage: " << ProgramName << " export --format FORMAT PROJECT.tlw -o PATH\n\n"
         << "Writes the project in FORMAT to PATH. Formats: "
         << TFormatRegistry::Instance().WriteKeys().join(QStringLiteral(", ")) << ".\n"
         << "'game' writes NAME.ssl and NAME.msg into the folder PATH and saves the message\n"
         << "numbers it gives new lines back into PROJECT.tlw (the only export that changes it).\n"
         << "Prints each file written; warnings and errors go to standard error.\n";
}

void TCliApp::ValidateHelp()
{
    FOut << "Usage: " << ProgramName << " validate PROJECT.tlw\n\n"
         << "Prints the project's problems, one per line (\"ERROR: ...\", \"WARNING: ...\").\n"
         << "Exit status 1 when there is at least one error.\n";
}

void TCliApp::ImportHelp()
{
    FOut << "Usage: " << ProgramName << " import --format FORMAT FILE [--msg FILE.msg] -o PROJECT.tlw\n\n"
         << "Reads FILE as FORMAT and saves it as a new project. Formats: "
         << TFormatRegistry::Instance().ReadKeys().join(QStringLiteral(", ")) << ".\n"
         << "Prints the project written and its node count; warnings and errors go to standard error.\n"
         << "--format game reads an NPC's script with its message file (--msg, else NAME.msg beside the\n"
         << "script or in the games' text folders) and prints its report: counts, what was not\n"
         << "understood with its line, and message numbers the message file lacks.\n";
}

int TCliApp::Usage(const QString& problem, const QString& command)
{
    Error(problem);
    FErr << "Try '" << ProgramName << (command.isEmpty() ? QString() : QLatin1Char(' ') + command) << " --help'.\n";
    return ExitUsage;
}

void TCliApp::Error(const QString& text)
{
    FErr << ProgramName << ": error: " << text << "\n";
}

void TCliApp::Warning(const QString& text)
{
    FErr << ProgramName << ": warning: " << text << "\n";
}

void TCliApp::Warnings(const TFormatResult& result, const QString& operation)
{
    for (const QString& warning : result.Warnings)
        Warning(warning);
    // Readers that only count their warnings say how many there were.
    if (result.TotalWarnings() > result.Warnings.size())
        Warning(QStringLiteral("%1 warnings during %2").arg(result.TotalWarnings()).arg(operation));
}

std::unique_ptr<TDialogueProject> TCliApp::LoadProject(const QString& path)
{
    auto project = std::make_unique<TDialogueProject>();
    try {
        if (!project->LoadFromFile(path)) {
            Error(QStringLiteral("cannot open project '%1': no such file").arg(path));
            return nullptr;
        }
    } catch (const std::exception& e) {
        Error(QStringLiteral("cannot open project '%1': %2").arg(path, QString::fromUtf8(e.what())));
        return nullptr;
    }
    return project;
}

// ---------------------------------------------------------------------------

int TCliApp::Export(const QStringList& args)
{
    TCommandLine line(true);
    TFormatCommand command;
    const QString problem = command.Read(line, args, QStringLiteral("export"), QStringLiteral("project file"),
                                         QStringLiteral("PATH"));
    if (!problem.isEmpty())
        return Usage(problem, QStringLiteral("export"));
    if (command.HelpAsked) {
        ExportHelp();
        return ExitOk;
    }
    const QString& key = command.Key;
    const QString& output = command.Output;
    const TDialogueFormat* format = TFormatRegistry::Instance().Writer(key);
    if (!format)
        return Usage(QStringLiteral("cannot export as '%1'; formats: %2")
                         .arg(key, TFormatRegistry::Instance().WriteKeys().join(QStringLiteral(", "))),
                     QStringLiteral("export"));

    std::unique_ptr<TDialogueProject> project = LoadProject(command.Input);
    if (!project)
        return ExitUsage;

    TExportLog log;
    TModExporter modExporter(project.get());
    TFormatContext context{TExportOptions(), log, &modExporter};
    context.Options.OutputPath = output;
    const TFormatResult result = format->Write(project.get(), context);
    Warnings(result, QStringLiteral("export"));
    if (!result.Success) {
        Error(QStringLiteral("%1 export failed").arg(format->Name()));
        for (const QString& error : result.Errors)
            FErr << "  " << error << "\n";
        // The log also holds the writer's reason ("No space left on device").
        for (const QString& entry : log.Lines()) {
            const QString text = WithoutTime(entry);
            if (!text.startsWith(QLatin1String("ERROR: ")) && !text.startsWith(QLatin1String("WARNING: ")))
                FErr << "  " << text << "\n";
        }
        return ExitFailed;
    }
    for (const QString& file : result.FilesGenerated)
        FOut << file << "\n";
    // The game export numbers new lines; the numbers must stay with the
    // project, or translations and the next export would not match.
    if (result.MessagesNumbered > 0) {
        try {
            project->SaveToFile(command.Input);
        } catch (const std::exception& e) {
            Error(QStringLiteral("the new message numbers could not be saved to '%1': %2")
                      .arg(command.Input, QString::fromUtf8(e.what())));
            return ExitFailed;
        }
        FErr << ProgramName << ": " << result.MessagesNumbered << " new message numbers saved to " << command.Input
             << "\n";
    }
    return ExitOk;
}

int TCliApp::Validate(const QStringList& args)
{
    TCommandLine line(false);
    QString problem;
    if (!line.Parse(args, problem))
        return Usage(problem, QStringLiteral("validate"));
    if (line.Parser.isSet(line.Help)) {
        ValidateHelp();
        return ExitOk;
    }
    const QStringList inputs = line.Parser.positionalArguments();
    if (inputs.size() != 1)
        return Usage(QStringLiteral("validate needs exactly one project file"), QStringLiteral("validate"));
    std::unique_ptr<TDialogueProject> project = LoadProject(inputs.first());
    if (!project)
        return ExitUsage;
    bool errors = false;
    for (const QString& problemLine : project->ValidateProject()) {
        FOut << problemLine << "\n";
        errors = errors || problemLine.startsWith(QLatin1String("ERROR"));
    }
    return errors ? ExitFailed : ExitOk;
}

int TCliApp::Import(const QStringList& args)
{
    TCommandLine line(true, true);
    TFormatCommand command;
    const QString problem = command.Read(line, args, QStringLiteral("import"), QStringLiteral("input file"),
                                         QStringLiteral("PROJECT.tlw"));
    if (!problem.isEmpty())
        return Usage(problem, QStringLiteral("import"));
    if (command.HelpAsked) {
        ImportHelp();
        return ExitOk;
    }
    const QString& key = command.Key;
    const QString& output = command.Output;
    const TDialogueFormat* format = TFormatRegistry::Instance().Reader(key);
    if (!format)
        return Usage(QStringLiteral("cannot import '%1'; formats: %2")
                         .arg(key, TFormatRegistry::Instance().ReadKeys().join(QStringLiteral(", "))),
                     QStringLiteral("import"));
    TReadOptions options;
    options.CompanionPath = line.Parser.value(line.Companion);
    if (!options.CompanionPath.isEmpty() && !format->TakesCompanion())
        return Usage(QStringLiteral("--msg is only for --format game"), QStringLiteral("import"));
    for (const QString& input : {command.Input, options.CompanionPath}) {
        const QFileInfo info(input);
        if (!input.isEmpty() && (!info.exists() || info.isDir())) {
            Error(QStringLiteral("cannot read '%1': no such file").arg(input));
            return ExitUsage;
        }
    }
    const QString& input = command.Input;

    std::unique_ptr<TDialogueProject> project;
    TFormatResult result;
    try {
        const TReadOutcome outcome = format->ReadWith(input, options, project);
        result = outcome.Result;
        for (const QString& reportLine : outcome.Report)
            FOut << reportLine << "\n";
    } catch (const std::exception& e) {
        Error(QStringLiteral("cannot read '%1': %2").arg(input, QString::fromUtf8(e.what())));
        return ExitUsage;
    }
    if (!result.Success || !project) {
        Error(QStringLiteral("%1 import failed").arg(format->Name()));
        // A binary file read by mistake must not flood the terminal.
        for (const QString& error : ImportLog::ErrorLines(result.Errors))
            FErr << "  " << error << "\n";
        return ExitFailed;
    }
    Warnings(result, QStringLiteral("import"));
    project->SetName(ExportFiles::BaseNameWithoutExtension(input));
    try {
        if (!project->SaveToFile(output)) {
            Error(QStringLiteral("cannot write project '%1'").arg(output));
            return ExitFailed;
        }
    } catch (const std::exception& e) {
        Error(QStringLiteral("cannot write project '%1': %2").arg(output, QString::fromUtf8(e.what())));
        return ExitFailed;
    }
    FOut << output << "\n";
    FErr << result.NodeCount << " nodes imported.\n";
    return ExitOk;
}
