#include "conversion/ConverterProgress.h"

#include "conversion/ConversionRules.h"

namespace pagemint {

std::optional<ProgressStep> ConverterProgress::advance(const QString &chunk)
{
    if (pageCount_ <= 0)
        return std::nullopt;
    const int page = pageNumberOf(pageWordOf(chunk));
    const double fill = static_cast<double>(page) / pageCount_;
    if (fill < filled_)
        return std::nullopt;
    filled_ = fill;
    return ProgressStep{fill, QStringLiteral("创建PDF...%1%").arg(converterPercent(page, pageCount_))};
}

} // namespace pagemint
