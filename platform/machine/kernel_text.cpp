// MultiByteToWideChar and WideCharToMultiByte for the ANSI code page
// (Windows-1252) and UTF-8. Results follow the documented rules: a count of
// -1 takes the text up to and including its terminating zero, an output size
// of 0 asks for the size needed, and an output buffer that is too small makes
// the call fail with ERROR_INSUFFICIENT_BUFFER without writing to it.
#include "platform/api/kernel32.h"
#include "platform/machine/kernel_code_page.h"
#include "platform/machine/kernel_state.h"
#include "platform/machine/machine.h"

#include <cstring>
#include <string>

namespace {

constexpr UINT CodePageWindows1252 = 1252;
constexpr UINT CodePageThreadAnsi = 3;
constexpr DWORD ErrorInvalidCharacters = 0x00000008u; // MB_ERR_INVALID_CHARS
constexpr DWORD ErrorNoUnicodeTranslation = 1113;

enum class CodePage { Ansi, Utf8, Unsupported };

CodePage CodePageOf(UINT codePage) {
    if (codePage == CP_ACP || codePage == CodePageThreadAnsi || codePage == CodePageWindows1252) {
        return CodePage::Ansi;
    }
    return codePage == CP_UTF8 ? CodePage::Utf8 : CodePage::Unsupported;
}

void AppendUtf16(std::u16string& out, char32_t codePoint) {
    if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

// Decodes UTF-16; an unpaired surrogate becomes U+FFFD.
std::u32string CodePointsFromUtf16(const char16_t* text, std::size_t length) {
    std::u32string out;
    for (std::size_t index = 0; index < length; ++index) {
        const char16_t unit = text[index];
        if (unit >= 0xD800 && unit <= 0xDBFF && index + 1 < length && text[index + 1] >= 0xDC00 &&
            text[index + 1] <= 0xDFFF) {
            out.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                          (static_cast<char32_t>(text[index + 1]) - 0xDC00));
            ++index;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            out.push_back(0xFFFD);
        } else {
            out.push_back(unit);
        }
    }
    return out;
}

template <typename Unit>
int DeliverConverted(const std::basic_string<Unit>& converted, Unit* output, int outputCount) {
    const auto needed = static_cast<int>(converted.size());
    if (outputCount == 0) {
        return needed;
    }
    if (needed > outputCount) {
        SetKernelError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(output, converted.data(), converted.size() * sizeof(Unit));
    return needed;
}

} // namespace

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteText, int multiByteCount,
                        LPWSTR wideText, int wideCount) {
    EnsureMachineStarted();
    const CodePage page = CodePageOf(codePage);
    if (page == CodePage::Unsupported || multiByteText == nullptr || multiByteCount == 0 ||
        multiByteCount < -1 || wideCount < 0 || (wideText == nullptr && wideCount > 0)) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t length = multiByteCount == -1 ? std::strlen(multiByteText) + 1
                                                    : static_cast<std::size_t>(multiByteCount);
    const std::string input(multiByteText, length);
    std::u16string converted;
    if (page == CodePage::Ansi) {
        for (const char c : input) {
            converted.push_back(
                static_cast<char16_t>(CodePointFromAnsi(static_cast<unsigned char>(c))));
        }
    } else {
        const std::u32string codePoints = CodePointsFromUtf8(input);
        if ((flags & ErrorInvalidCharacters) != 0 && Utf8FromCodePoints(codePoints) != input) {
            SetKernelError(ErrorNoUnicodeTranslation);
            return 0;
        }
        for (const char32_t codePoint : codePoints) {
            AppendUtf16(converted, codePoint);
        }
    }
    return DeliverConverted(converted, wideText, wideCount);
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR wideText, int wideCount,
                        LPSTR multiByteText, int multiByteCount, LPCSTR defaultChar,
                        BOOL* usedDefaultChar) {
    EnsureMachineStarted();
    const CodePage page = CodePageOf(codePage);
    if (page == CodePage::Unsupported || wideText == nullptr || wideCount == 0 || wideCount < -1 ||
        multiByteCount < 0 || (multiByteText == nullptr && multiByteCount > 0) ||
        (page == CodePage::Utf8 && (defaultChar != nullptr || usedDefaultChar != nullptr))) {
        SetKernelError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::size_t length = 0;
    if (wideCount == -1) {
        while (wideText[length] != 0) {
            ++length;
        }
        ++length;
    } else {
        length = static_cast<std::size_t>(wideCount);
    }
    const std::u32string codePoints = CodePointsFromUtf16(wideText, length);
    std::string converted;
    bool usedDefault = false;
    if (page == CodePage::Ansi) {
        const char fallback = defaultChar != nullptr ? *defaultChar : '?';
        for (const char32_t codePoint : codePoints) {
            unsigned char byte = 0;
            if (AnsiFromCodePoint(codePoint, byte)) {
                converted.push_back(static_cast<char>(byte));
            } else {
                converted.push_back(fallback);
                usedDefault = true;
            }
        }
    } else {
        converted = Utf8FromCodePoints(codePoints);
    }
    if (usedDefaultChar != nullptr) {
        *usedDefaultChar = usedDefault ? TRUE : FALSE;
    }
    return DeliverConverted(converted, multiByteText, multiByteCount);
}
