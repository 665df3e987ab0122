#include "cli/CommandLineOptions.h"

#include <functional>
#include <map>

namespace pagemint {

namespace {

// Reads an option's value into the request; false when the value is not one the option takes.
using ValueReader = std::function<bool(CommandLineRequest &, const QString &)>;

template <typename T>
ValueReader readInto(std::optional<T> CommandLineRequest::*field, std::optional<T> (*fromWord)(std::string_view))
{
    return [field, fromWord](CommandLineRequest &request, const QString &value) {
        const std::optional<T> read = fromWord(value.toStdString());
        if (read)
            request.*field = read;
        return read.has_value();
    };
}

struct ValueOption {
    ValueReader read;
    const char *accepted; // the words it takes, for the message on a bad one
};

const std::map<QString, ValueOption> &valueOptions()
{
    static const std::map<QString, ValueOption> options = {
        {QStringLiteral("--output"),
         {[](CommandLineRequest &request, const QString &value) {
              request.output = value;
              return !value.isEmpty();
          },
          "PATH"}},
        {QStringLiteral("--paper"),
         {readInto(&CommandLineRequest::paper, paperFromWord), "original|A4|A5|B5|Letter|Legal|picture"}},
        {QStringLiteral("--orientation"),
         {readInto(&CommandLineRequest::orientation, orientationFromWord), "auto|portrait|landscape"}},
        {QStringLiteral("--margin"), {readInto(&CommandLineRequest::marginMm, marginFromWord), "0..50"}},
        {QStringLiteral("--fit"), {readInto(&CommandLineRequest::fit, fitFromWord), "fit|shrink"}},
        {QStringLiteral("--ocr"),
         {readInto(&CommandLineRequest::recognition, recognitionFromWord), "chi_sim+eng|eng|off"}},
    };
    return options;
}

using FlagSetter = std::function<void(CommandLineRequest &)>;

const std::map<QString, FlagSetter> &flagOptions()
{
    static const std::map<QString, FlagSetter> options = {
        {QStringLiteral("--each"), [](CommandLineRequest &request) { request.onePdfPerPicture = true; }},
        {QStringLiteral("--merge"), [](CommandLineRequest &request) { request.onePdfPerPicture = false; }},
        {QStringLiteral("--overwrite"), [](CommandLineRequest &request) { request.overwrite = true; }},
        {QStringLiteral("--quiet"), [](CommandLineRequest &request) { request.quiet = true; }},
        {QStringLiteral("-q"), [](CommandLineRequest &request) { request.quiet = true; }},
        {QStringLiteral("--upright"), [](CommandLineRequest &request) { request.upright = true; }},
        {QStringLiteral("--no-upright"), [](CommandLineRequest &request) { request.upright = false; }},
    };
    return options;
}

} // namespace

PageLayout CommandLineRequest::layoutOver(PageLayout stored) const
{
    stored.paper = paper.value_or(stored.paper);
    stored.orientation = orientation.value_or(stored.orientation);
    stored.marginMm = marginMm.value_or(stored.marginMm);
    stored.fit = fit.value_or(stored.fit);
    return stored;
}

TextChoice CommandLineRequest::textOver(TextChoice stored) const
{
    stored.recognition = recognition.value_or(stored.recognition);
    stored.upright = upright.value_or(stored.upright);
    return stored;
}

ParsedCommandLine parseCommandLine(const QStringList &arguments)
{
    ParsedCommandLine parsed;
    CommandLineRequest &request = parsed.request;
    bool help = false;
    bool version = false;
    // The first fault is the one told: later ones may only follow from it.
    auto fault = [&parsed](const QString &problem) {
        if (parsed.problem.isEmpty())
            parsed.problem = problem;
    };
    bool optionsOver = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (optionsOver || !argument.startsWith(u'-') || argument == QStringLiteral("-")) {
            request.inputs << argument;
            continue;
        }
        if (argument == QStringLiteral("--")) {
            optionsOver = true;
            continue;
        }
        if (argument == QStringLiteral("-h") || argument == QStringLiteral("--help")) {
            help = true;
            continue;
        }
        if (argument == QStringLiteral("--version")) {
            version = true;
            continue;
        }
        std::optional<QString> value;
        // Messages name the option as it was written.
        QString named = argument;
        if (argument.startsWith(QStringLiteral("-o")) && !argument.startsWith(QStringLiteral("--"))) {
            if (argument.size() > 2)
                value = argument.mid(2);
            named = QStringLiteral("-o");
            argument = QStringLiteral("--output");
        } else if (const qsizetype equals = argument.indexOf(u'=');
                   argument.startsWith(QStringLiteral("--")) && equals > 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
            named = argument;
        }
        if (const auto flag = flagOptions().find(argument); flag != flagOptions().end()) {
            if (value)
                fault(QStringLiteral("选项 %1 不带取值").arg(named));
            else
                flag->second(request);
            continue;
        }
        const auto option = valueOptions().find(argument);
        if (option == valueOptions().end()) {
            fault(QStringLiteral("未知选项：%1").arg(arguments[i]));
            continue;
        }
        if (!value) {
            if (i + 1 >= arguments.size()) {
                fault(QStringLiteral("选项 %1 缺少取值").arg(named));
                continue;
            }
            value = arguments[++i];
        }
        if (!option->second.read(request, *value))
            fault(QStringLiteral("选项 %1 的取值无效：“%2”（可用：%3）")
                      .arg(named, *value, QString::fromLatin1(option->second.accepted)));
    }
    if (help || version) {
        request.action = help ? CommandLineRequest::Action::Help : CommandLineRequest::Action::Version;
        parsed.problem.clear();
        return parsed;
    }
    if (request.inputs.isEmpty())
        fault(QStringLiteral("没有给出图片或文件夹"));
    return parsed;
}

QString commandLineHelp()
{
    return QStringLiteral("用法：pagemint [OPTION]... PICTURE|FOLDER...\n"
                          "不打开窗口，把图片转换为PDF。文件夹与“添加目录”一样连同子文件夹一起搜索，顺序相同。\n"
                          "没有参数时打开窗口。\n"
                          "\n"
                          "  -o, --output PATH       输出文件夹；合并模式下也可以是以 .pdf 结尾的文件名\n"
                          "                          （默认：设置中的输出文件夹）\n"
                          "      --merge             所有图片合并为一个PDF（默认）\n"
                          "      --each              每张图片生成一个PDF\n"
                          "      --paper PAPER       纸张：original|A4|A5|B5|Letter|Legal|picture\n"
                          "      --orientation DIR   方向：auto|portrait|landscape\n"
                          "      --margin MM         边距（毫米）：0..50\n"
                          "      --fit FIT           缩放：fit（适应页面）|shrink（仅缩小）\n"
                          "      --ocr LANG          文字识别：chi_sim+eng|eng|off\n"
                          "      --upright           把横放或倒置的页面转正\n"
                          "      --no-upright        不转正页面\n"
                          "      --overwrite         覆盖同名的PDF（默认：保留已有文件，使用下一个可用的名称）\n"
                          "  -q, --quiet             不显示进度\n"
                          "  -h, --help              显示本帮助\n"
                          "      --version           显示版本\n"
                          "\n"
                          "未给出的版面和文字识别选项取自 pagemint.ini，输出文件夹取自 setting.dll。\n"
                          "生成的PDF的路径写到标准输出，每行一个；进度、跳过的图片及原因写到标准错误。\n"
                          "退出码：0 每张图片都已转换；1 有图片被跳过，但已生成PDF；2 参数错误或没有生成PDF；\n"
                          "130 被 Ctrl-C 或终止信号中断（不留下临时文件和未写完的PDF）。\n");
}

QString commandLineVersion()
{
    return QStringLiteral("pagemint %1\n").arg(QStringLiteral(PAGEMINT_VERSION));
}

} // namespace pagemint
