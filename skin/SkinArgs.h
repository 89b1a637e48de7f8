// Reads the arguments of one skin line, left to right, one token each,
// resolving names against the skin's resources and the effect.
#pragma once

#include <cstdint>

namespace XP {
class TokenReader;
}

namespace VRAX {

class ZEditorSkin;
class ZEffect;
class ZFont;
class ZHistory;
class ZImageResource;

class SkinArgs {
public:
    static constexpr int32_t kFailureSize = 128;

    SkinArgs(XP::TokenReader& reader, ZEditorSkin* skin, ZEffect* effect)
        : reader(reader), skin(skin), effect(effect) {}

    // Tokens left on the line after the cursor.
    int32_t remaining() const;

    // Each consumes one token (an empty text when the line has run out).
    const char* text();
    int32_t integer();
    double real();                    // "Inf" and "-Inf" allowed
    int32_t parameter();              // -1 when the effect has no such parameter (case ignored)
    double* featureDouble();          // null for "Null" or no double feature of that name
    int32_t* featureInt();
    ZHistory* featureHistory();
    int32_t command();                // the command's index, -1 when not found
    ZImageResource* image();          // null for "Null", unknown or not an image
    ZFont* font();
    const unsigned char* colour();    // red, green, blue, alpha
    int32_t orientation();            // LeftToRight 1 ... BottomToTop 4, else 0
    int32_t alignment();              // alignFromName

    // Why this line's arguments may have made nothing, for the builder's skip
    // report: the first name that did not resolve, or else the first "Null"
    // given where something was looked up (optional arguments take "Null"
    // on purpose), or null. A factory may note a reason of its own.
    const char* failure() const {
        return failed ? failureText : (nullFailed ? nullFailureText : nullptr);
    }
    void noteFailure(const char* reason);

    XP::TokenReader& reader;
    ZEditorSkin* skin;
    ZEffect* effect;

private:
    const char* take();
    void noteUnresolved(const char* what, const char* name);
    template <typename T>
    T* feature();

    bool failed = false;
    char failureText[kFailureSize] = {};
    bool nullFailed = false;
    char nullFailureText[kFailureSize] = {};
};

}  // namespace VRAX
