// Writes the pages of bench/ocr.sh: A4 pages at 300 dpi of known Chinese and English text, black on
// white, each with its text beside it (NN.txt, the truth the recognised text is scored against).
//   make-text-pages FOLDER [COUNT]       (COUNT pages, default 20: the texts below in turn)
// FOLDER/clean   the pages as rendered, JPEG quality 90
// FOLDER/photos  the same pages as a phone would take them: turned 2 degrees, slightly blurred,
//                JPEG quality 70; one page (the fifth) upside down as well
// Rendered by Qt with "Noto Sans CJK SC" (fonts-noto-cjk); a missing font is an error, since a
// fallback font would change what the engines are asked to read.
// Build: g++ -O2 -fPIC make-text-pages.cpp $(pkg-config --cflags --libs Qt6Gui)
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTransform>

#include <array>
#include <cstdio>
#include <tuple>

namespace {

constexpr int kDpi = 300;
constexpr int kWidth = 2480; // A4, 210 x 297 mm at 300 dpi
constexpr int kHeight = 3508;
constexpr int kMargin = 295; // 25 mm
constexpr int kUpsideDownPage = 4;

// Paragraphs a page holds; the pages take them in turn. Written for this bench.
const std::array<const char *, 4> kTexts = {
    // Chinese: load forecasting.
    "短期负荷预测\n"
    "短期负荷预测是电力系统调度的基础工作，它根据历史负荷、气象数据和日期类型，预测未来一天到一周内"
    "每个时段的用电负荷。预测的准确程度直接影响机组组合、发电计划和备用容量的安排。\n"
    "传统的预测方法包括时间序列分析、回归分析和指数平滑等。这些方法计算简单，但难以刻画负荷与温度、"
    "湿度之间的非线性关系。节假日前后的负荷变化也常常超出模型的假设。\n"
    "近年来，随着智能电表的普及，电网公司积累了大量细粒度的用电数据，为更精细的预测提供了条件。",
    // Chinese: deep learning methods.
    "深度学习方法\n"
    "深度学习方法通过多层神经网络从数据中自动提取特征，在负荷预测中得到了广泛应用。长短期记忆网络能够"
    "捕捉负荷序列中的长期依赖，卷积神经网络则擅长发现局部的变化模式。\n"
    "把两种网络结合起来，再加入注意力机制，可以进一步提高预测精度。训练这样的模型需要足够多的样本，"
    "还要合理划分训练集、验证集和测试集，防止过拟合。\n"
    "实验结果表明，与传统方法相比，深度学习模型在工作日和节假日的平均绝对百分比误差都明显降低。",
    // English.
    "Load Forecasting with Neural Networks\n"
    "Short-term load forecasting predicts the electricity demand of the next hours and days from past "
    "load, weather records and the calendar. Utilities use the forecast to schedule generators and to "
    "keep enough reserve capacity at the lowest cost.\n"
    "Recurrent networks learn the daily and weekly cycles of demand, while convolutional layers pick up "
    "short patterns such as the morning ramp. A model trained on three years of hourly data reached a "
    "mean absolute percentage error of 2.1 percent on the test year.",
    // Both on one page.
    "负荷预测与深度学习\n"
    "本文提出一种基于深度学习的短期负荷预测方法。该方法首先对历史数据进行清洗和归一化，然后使用"
    "长短期记忆网络提取时间特征，最后通过全连接层输出未来二十四小时的负荷。\n"
    "Abstract: This paper proposes a short-term load forecasting method based on deep learning. The "
    "historical data are cleaned and normalised, a long short-term memory network extracts the temporal "
    "features, and a dense layer gives the load of the next 24 hours.\n"
    "关键词：负荷预测；深度学习；神经网络；电力系统",
};

QImage render(const QString &text, const QFont &body, const QFont &title)
{
    QImage page(kWidth, kHeight, QImage::Format_RGB32);
    page.fill(Qt::white);
    const int dotsPerMetre = qRound(kDpi / 0.0254);
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    QPainter painter(&page);
    painter.setPen(Qt::black);
    const QString heading = text.section(QLatin1Char('\n'), 0, 0);
    const QString paragraphs = text.section(QLatin1Char('\n'), 1);
    QRect room(kMargin, kMargin, kWidth - 2 * kMargin, kHeight - 2 * kMargin);
    QRect used;
    painter.setFont(title);
    painter.drawText(room, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, heading, &used);
    room.setTop(used.bottom() + 80);
    painter.setFont(body);
    // Paragraphs apart by half a line, as a document sets them.
    for (const QString &paragraph : paragraphs.split(QLatin1Char('\n'))) {
        painter.drawText(room, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, paragraph, &used);
        room.setTop(used.bottom() + 30);
    }
    return page;
}

// A binomial blur (1 4 6 4 1) along rows, then columns: about what a phone's slightly missed focus does.
QImage blurred(const QImage &in)
{
    static constexpr std::array<int, 5> weights = {1, 4, 6, 4, 1};
    const auto pass = [](const QImage &source, bool alongRows) {
        QImage out(source.size(), QImage::Format_RGB32);
        out.setDotsPerMeterX(source.dotsPerMeterX());
        out.setDotsPerMeterY(source.dotsPerMeterY());
        const int w = source.width(), h = source.height();
        for (int y = 0; y < h; ++y) {
            auto *target = reinterpret_cast<QRgb *>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                int r = 0, g = 0, b = 0;
                for (int k = -2; k <= 2; ++k) {
                    const int sx = alongRows ? qBound(0, x + k, w - 1) : x;
                    const int sy = alongRows ? y : qBound(0, y + k, h - 1);
                    const QRgb p = reinterpret_cast<const QRgb *>(source.constScanLine(sy))[sx];
                    const int weight = weights[std::size_t(k + 2)];
                    r += weight * qRed(p);
                    g += weight * qGreen(p);
                    b += weight * qBlue(p);
                }
                target[x] = qRgb(r / 16, g / 16, b / 16);
            }
        }
        return out;
    };
    return pass(pass(in, true), false);
}

// The page turned by `degrees` about its centre, on white, at the page's size.
QImage turned(const QImage &page, double degrees)
{
    QImage out(page.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    out.setDotsPerMeterX(page.dotsPerMeterX());
    out.setDotsPerMeterY(page.dotsPerMeterY());
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(page.width() / 2.0, page.height() / 2.0);
    painter.rotate(degrees);
    painter.translate(-page.width() / 2.0, -page.height() / 2.0);
    painter.drawImage(0, 0, page);
    return out;
}

bool writeText(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text.toUtf8() + '\n') >= 0 &&
           file.flush();
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make-text-pages FOLDER [COUNT]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int count = argc == 3 ? QString::fromLocal8Bit(argv[2]).toInt() : 20;
    QFont body(QStringLiteral("Noto Sans CJK SC"));
    body.setPixelSize(46); // 11 pt at 300 dpi
    body.setStyleStrategy(QFont::NoFontMerging);
    if (QFontInfo(body).family() != QLatin1String("Noto Sans CJK SC")) {
        std::fprintf(stderr, "make-text-pages: no \"Noto Sans CJK SC\" (install fonts-noto-cjk); found %s\n",
                     qPrintable(QFontInfo(body).family()));
        return 1;
    }
    for (const char *set : {"clean", "photos"}) {
        if (!QDir().mkpath(folder + QLatin1Char('/') + QLatin1String(set))) {
            std::fprintf(stderr, "make-text-pages: cannot make %s/%s\n", qPrintable(folder), set);
            return 1;
        }
    }
    QFont title = body;
    title.setPixelSize(67); // 16 pt
    title.setBold(true);
    for (int n = 0; n < count; ++n) {
        const QString text = QString::fromUtf8(kTexts[std::size_t(n) % kTexts.size()]);
        const QImage page = render(text, body, title);
        const QString name = QStringLiteral("%1").arg(n + 1, 2, 10, QLatin1Char('0'));
        const QImage photo = blurred(turned(page, n == kUpsideDownPage ? 182.0 : 2.0));
        for (const auto &[set, picture, quality] :
             {std::tuple{QStringLiteral("clean"), page, 90}, std::tuple{QStringLiteral("photos"), photo, 70}}) {
            const QString base = folder + QLatin1Char('/') + set + QLatin1Char('/') + name;
            if (!picture.save(base + QStringLiteral(".jpg"), "JPG", quality) ||
                !writeText(base + QStringLiteral(".txt"), text)) {
                std::fprintf(stderr, "make-text-pages: cannot write %s\n", qPrintable(base));
                return 1;
            }
        }
    }
    return 0;
}
