#pragma once
// The words the user reads when a picture is left out. The decoders, the converter and the
// program all say why in these words (UTF-8), so one picture reads the same whichever part
// refused it. A library's or the system's own text may follow in brackets: inBrackets().
// Standard library only: the helpers share it.

#include <string>
#include <string_view>

namespace pagemint::reason {

// The bytes are no picture the program reads.
inline constexpr std::string_view kNotSupported = "不支持的图片格式";
// The converter takes JPEG pictures only; what the bytes are may follow in brackets.
inline constexpr std::string_view kNotJpeg = "不是JPEG图片";
// A valid picture of a kind no reader here takes (2-bit palette, 64-bit BMP, 12-bit JPEG...).
inline constexpr std::string_view kUnsupportedKind = "不支持的图片类型";
// Read, but pixels are missing or the data contradicts itself.
inline constexpr std::string_view kDamaged = "图片已损坏";
inline constexpr std::string_view kCutShort = "图片数据不完整";
inline constexpr std::string_view kHeaderCutShort = "图片文件头不完整";
inline constexpr std::string_view kNoSize = "图片没有尺寸";
inline constexpr std::string_view kTooLarge = "图片太大";
inline constexpr std::string_view kNotColour = "无法将图片转换为彩色";
inline constexpr std::string_view kEmptyFile = "空文件";
inline constexpr std::string_view kNotAFile = "不是文件";
inline constexpr std::string_view kFileNotFound = "文件不存在";
inline constexpr std::string_view kPermissionDenied = "没有访问权限";
inline constexpr std::string_view kDiskFull = "磁盘已满";
inline constexpr std::string_view kReadOnly = "只读文件系统";
inline constexpr std::string_view kCannotRead = "无法读取文件";
inline constexpr std::string_view kCannotWrite = "无法写入文件";
inline constexpr std::string_view kChangedWhileRead = "文件在读取时被修改";
// A picture read where it lies was changed, replaced or removed after the program checked it.
inline constexpr std::string_view kChangedSinceChecked = "文件在转换期间被修改";
inline constexpr std::string_view kDecoderCrashed = "解码程序崩溃";
inline constexpr std::string_view kDecoderTimedOut = "解码超时";
inline constexpr std::string_view kDecoderNotStarted = "无法启动解码程序";
inline constexpr std::string_view kDecoderWroteNothing = "解码程序没有生成页面";
// The decoder ended with a failure and said nothing about it.
inline constexpr std::string_view kDecoderFailed = "解码程序出错";
// The page is written, but without its text layer; why follows in brackets.
inline constexpr std::string_view kTextNotRecognized = "未能识别文字";
inline constexpr std::string_view kRecognizerCrashed = "识别程序崩溃";
inline constexpr std::string_view kRecognizerTimedOut = "识别超时";
inline constexpr std::string_view kRecognizerNotStarted = "无法启动识别程序";
// The recogniser ended with a failure and said nothing about it.
inline constexpr std::string_view kRecognizerFailed = "识别程序出错";
// The text recogniser: a language's model is in none of its model folders, or the engine failed.
inline constexpr std::string_view kNoRecognitionModel = "缺少文字识别模型";
inline constexpr std::string_view kRecognitionFailed = "文字识别出错";
inline constexpr std::string_view kNoStagingFolder = "无法创建临时文件夹";
inline constexpr std::string_view kConverterNotStarted = "无法启动转换程序";
inline constexpr std::string_view kNoPdfWritten = "没有生成PDF文件";
inline constexpr std::string_view kCancelled = "已取消";
inline constexpr std::string_view kUnknownError = "未知错误";
// A failure of the system without words of its own here; its text follows in brackets.
inline constexpr std::string_view kSystemError = "系统错误";

// `words`, then what a library or the system said, in brackets: "图片已损坏（Premature end of JPEG file）".
inline std::string inBrackets(std::string_view words, std::string_view said)
{
    std::string text(words);
    if (!said.empty())
        text.append("（").append(said).append("）");
    return text;
}

} // namespace pagemint::reason
