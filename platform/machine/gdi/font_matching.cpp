#include "platform/machine/gdi/font_matching.h"

#include "platform/machine/gdi/font_faces.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <tuple>

namespace {

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPointer = std::unique_ptr<FcPattern, PatternDeleter>;

// The weight a Windows font weight (100..900, 0 for the default) stands for,
// in fontconfig's scale.
int FontconfigWeight(int windowsWeight) {
    const int weight = windowsWeight <= 0 ? 400 : std::clamp(windowsWeight, 1, 1000);
    return FcWeightFromOpenType(weight);
}

// Initialises fontconfig once and finishes it when the process ends, so its
// configuration is released instead of being reported as a leak.
bool EnsureFontconfig() {
    struct Session {
        bool Ready = FcInit() == FcTrue;
        Session() = default;
        Session(const Session&) = delete;
        Session& operator=(const Session&) = delete;
        ~Session() {
            if (Ready) {
                FcFini();
            }
        }
    };
    static Session session;
    return session.Ready;
}

std::optional<MatchedFontFile> MatchFamily(const std::string& family, int weight, bool italic) {
    if (!EnsureFontconfig()) {
        return std::nullopt;
    }
    PatternPointer pattern(FcPatternCreate());
    if (!pattern) {
        return std::nullopt;
    }
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FontconfigWeight(weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    PatternPointer match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) {
        return std::nullopt;
    }
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || !file) {
        return std::nullopt;
    }
    MatchedFontFile matched;
    matched.Path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) {
        matched.Index = index;
    }
    FcChar8* matchedFamily = nullptr;
    if (FcPatternGetString(match.get(), FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
        matchedFamily) {
        matched.Family = reinterpret_cast<const char*>(matchedFamily);
    }
    int matchedWeight = FC_WEIGHT_REGULAR;
    FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &matchedWeight);
    matched.IsBold = matchedWeight >= FC_WEIGHT_DEMIBOLD;
    int matchedSlant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match.get(), FC_SLANT, 0, &matchedSlant);
    matched.IsItalic = matchedSlant != FC_SLANT_ROMAN;
    return matched;
}

} // namespace

std::string SubstituteFamilyFor(const std::string& windowsFaceName) {
    static const std::map<std::string, std::string> substitutes = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"microsoft sans serif", "Liberation Sans"},
        {"ms shell dlg", "Liberation Sans"},
        {"ms shell dlg 2", "Liberation Sans"},
        {"small", "Liberation Sans"},
        {"small fonts", "Liberation Sans"},
        {"system", "Liberation Sans"},
        {"tahoma", "Liberation Sans"},
        {"", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"ms serif", "Liberation Serif"},
        {"roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier", "Liberation Mono"},
        {"fixedsys", "Liberation Mono"},
        {"terminal", "Liberation Mono"},
    };
    auto found = substitutes.find(Lowercase(windowsFaceName));
    return found == substitutes.end() ? windowsFaceName : found->second;
}

std::optional<MatchedFontFile> MatchFontFile(const std::string& windowsFaceName, int weight,
                                             bool italic) {
    using Key = std::tuple<std::string, int, bool>;
    static std::map<Key, std::optional<MatchedFontFile>> cache;
    const std::string family = SubstituteFamilyFor(windowsFaceName);
    const Key key{Lowercase(family), weight, italic};
    if (auto cached = cache.find(key); cached != cache.end()) {
        return cached->second;
    }
    std::optional<MatchedFontFile> matched = MatchFamily(family, weight, italic);
    // fontconfig always answers with something; a family it does not have
    // would otherwise lead to whatever this host's default font is.
    if (matched && Lowercase(matched->Family) != Lowercase(family)) {
        const std::string fallback = SubstituteFamilyFor("Arial");
        if (Lowercase(family) != Lowercase(fallback)) {
            if (auto fallbackMatch = MatchFamily(fallback, weight, italic)) {
                matched = fallbackMatch;
            }
        }
    }
    cache.emplace(key, matched);
    return matched;
}
