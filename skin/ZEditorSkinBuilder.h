// Reads a skin script and builds the skin (and the editor around it).
#pragma once

#include "skin/ControlPlacement.h"
#include "skin/ZCondition.h"

#include <cstdint>

namespace XP {
class InputReader;
class TokenReader;
}  // namespace XP

namespace VRAX {

class ZEditor;
class ZEditorControl;
class ZEditorResource;
class ZEditorSkin;
class ZEffect;
class ZImageResource;

class ZEditorSkinBuilder {
public:
    // BackgroundMap makes one record per page; past this many pages it
    // refuses rather than exhaust memory on a broken "Init" line.
    static constexpr int32_t kMaxMappedPages = 4096;
    static constexpr int32_t kReasonSize = 192;

    explicit ZEditorSkinBuilder(ZEffect* effect) : effect(effect) {}
    virtual ~ZEditorSkinBuilder() = default;
    ZEditorSkinBuilder(const ZEditorSkinBuilder&) = delete;
    ZEditorSkinBuilder& operator=(const ZEditorSkinBuilder&) = delete;

    // The reader is at the type keyword; null when no control is made.
    virtual ZEditorControl* createControl(const ControlPlacement& placement, XP::TokenReader& reader);
    // The reader is at the kind keyword; null when no resource is made.
    virtual ZEditorResource* createResource(ZEditorSkin* skin, XP::TokenReader& reader);

    // An editor for `effect` over the named embedded script; null when the
    // script is missing or gives no skin.
    ZEditor* buildEditor(const char* embeddedName);
    ZEditor* buildEditor(XP::InputReader& reader);
    // The skin alone (owned by the caller); null when it gives no skin.
    ZEditorSkin* runScript(XP::InputReader& reader);

    // The skin's one condition for (first check of that name, negate),
    // made on first use; null when no check has the name.
    ZCondition* findCondition(const char* checkName, bool negate);

    // Called for every line that makes nothing, and for every item of a
    // "Condition" line that names no check (line number from 1, the line as
    // written, why). Line 0 reports a script that gives no skin at all. The
    // plug-in leaves it unset; a skin checker prints it.
    using SkipReporter = void (*)(void* context, int lineNumber, const char* line, const char* why);
    void setSkipReporter(SkipReporter reporter, void* context) {
        skipReporter = reporter;
        skipContext = context;
    }

    ZEffect* effect;
    ZEditorSkin* skin = nullptr;

protected:
    // Records why the current line (or factory) made nothing; the first
    // reason of a line wins.
    void noteSkip(const char* format, ...) __attribute__((format(printf, 2, 3)));

    ZConditionSet current;
    SkipReporter skipReporter = nullptr;
    void* skipContext = nullptr;

private:
    // One line, cursor at the command keyword; false when it made nothing.
    bool runLine(XP::TokenReader& reader);
    bool runBackgroundMap(XP::TokenReader& reader);
    bool runBackgroundImage(XP::TokenReader& reader);
    bool runCondition(XP::TokenReader& reader);
    bool runAddCheck(XP::TokenReader& reader);
    bool runAddResource(XP::TokenReader& reader);
    bool runAddControl(XP::TokenReader& reader, bool named);
    bool runInstallTtf(XP::TokenReader& reader);
    void report(const char* why);
    bool addBackground(int32_t page, ZImageResource* image, int32_t frame);

    int32_t lineNumber = 0;
    const char* lineText = "";
    bool skipNoted = false;
    char reason[kReasonSize] = {};
};

}  // namespace VRAX
