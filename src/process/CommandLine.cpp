#include "process/CommandLine.h"

namespace pagemint {

QStringList splitCommandLine(const QString &commandLine)
{
    QStringList words;
    QString word;
    bool inWord = false; // a quote pair starts a word even when nothing lies between the quotes
    bool quoted = false;
    for (const QChar c : commandLine) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (c == u' ' || c == u'\t')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words << word;
    return words;
}

} // namespace pagemint
