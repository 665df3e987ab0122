#pragma once
// Collects the lines the program logs under its own categories ("pagemint.*") while it lives;
// every other message goes on to the handler that was installed before. One at a time.
#include <QLoggingCategory>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <gtest/gtest.h>

namespace pagemint::test {

class LogCapture {
public:
    LogCapture() : previous_(qInstallMessageHandler(&LogCapture::handle)) { current() = this; }
    ~LogCapture()
    {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // Each line as "category: message", warnings only.
    const QStringList &warnings() const { return warnings_; }

private:
    static LogCapture *&current()
    {
        static LogCapture *capture = nullptr;
        return capture;
    }

    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        LogCapture *capture = current();
        const QString category = QString::fromLatin1(context.category != nullptr ? context.category : "");
        if (capture != nullptr && category.startsWith(QLatin1String("pagemint."))) {
            if (type == QtWarningMsg)
                capture->warnings_ << category + QStringLiteral(": ") + message;
            return;
        }
        if (capture != nullptr && capture->previous_ != nullptr)
            capture->previous_(type, context, message);
    }

    QtMessageHandler previous_;
    QStringList warnings_;
};

// A failure the user is not shown leaves exactly one warning of `category` ("pagemint.settings")
// holding each of `parts`, such as the path and the system's reason.
inline void expectOneLine(const LogCapture &log, const QString &category, const QStringList &parts)
{
    ASSERT_EQ(log.warnings().size(), 1) << log.warnings().join(u'\n').toStdString();
    const QString line = log.warnings().constFirst();
    EXPECT_TRUE(line.startsWith(category + QStringLiteral(": "))) << line.toStdString();
    for (const QString &part : parts)
        EXPECT_TRUE(line.contains(part, Qt::CaseInsensitive)) << part.toStdString() << " in " << line.toStdString();
}

} // namespace pagemint::test
