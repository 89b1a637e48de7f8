#include "skin/ZEditorSkinBuilder.h"

#include "controls/ControlFactories.h"
#include "controls/ZEditorControl.h"
#include "editor/ZCanvas.h"
#include "editor/ZEditor.h"
#include "framework/ZEffect.h"
#include "io/AsciiText.h"
#include "io/InputReader.h"
#include "io/ResourceReader.h"
#include "io/TokenReader.h"
#include "skin/ResourceLookup.h"
#include "skin/SkinArgs.h"
#include "skin/ZColourResource.h"
#include "skin/ZEditorCheck.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZFontResource.h"
#include "skin/ZFontTypeResource.h"
#include "skin/ZImageResource.h"

#include <cstdarg>
#include <cstdio>
#include <new>

namespace VRAX {

namespace {

// Hands the token reader one physical line at a time, so that every line of
// the script is known by its number in the file (the line reader itself
// swallows blank lines). Reads end at the line's break; nextLine moves on.
class ScriptLines : public XP::InputReader {
public:
    static constexpr int32_t kBufferSize = 2048;
    static constexpr int32_t kTextSize = 256;

    explicit ScriptLines(XP::InputReader& source) : source(source) {}

    bool isOpen() const override { return source.isOpen(); }

    int32_t read(void* destination, int32_t n) override {
        auto* out = static_cast<char*>(destination);
        int32_t count = 0;
        char c = 0;
        while (count < n && peek(&c) && c != '\r' && c != '\n') {
            out[count++] = c;
            if (textLength < kTextSize - 1) text[textLength++] = c;
            ++position;
        }
        text[textLength] = 0;
        return count;
    }

    // Starts the next line; false at the end of the input.
    bool nextLine() {
        char c = 0;
        if (inLine) {
            while (peek(&c) && c != '\r' && c != '\n') ++position;
            // CR LF, CR and LF each end one line.
            if (peek(&c) && c == '\r') {
                ++position;
                if (peek(&c) && c == '\n') ++position;
            } else if (peek(&c) && c == '\n') {
                ++position;
            }
        }
        textLength = 0;
        text[0] = 0;
        if (!peek(&c)) return false;
        inLine = true;
        ++number;
        return true;
    }

    int32_t lineNumber() const { return number; }
    // The line as read so far (its first kTextSize - 1 characters).
    const char* lineText() const { return text; }

private:
    bool peek(char* c) {
        if (position >= end) {
            if (ended || !source.isOpen()) return false;
            int32_t got = source.read(buffer, kBufferSize);
            if (got > kBufferSize) got = kBufferSize;
            if (got <= 0) {
                ended = true;
                return false;
            }
            position = 0;
            end = got;
        }
        *c = buffer[position];
        return true;
    }

    XP::InputReader& source;
    char buffer[kBufferSize];
    int32_t position = 0;
    int32_t end = 0;
    bool ended = false;
    bool inLine = false;
    int32_t number = 0;
    char text[kTextSize] = {};
    int32_t textLength = 0;
};

}  // namespace

void ZEditorSkinBuilder::noteSkip(const char* format, ...) {
    if (skipNoted) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(reason, sizeof(reason), format, args);
    va_end(args);
    skipNoted = true;
}

void ZEditorSkinBuilder::report(const char* why) {
    if (skipReporter) skipReporter(skipContext, lineNumber, lineText ? lineText : "", why);
}

ZEditor* ZEditorSkinBuilder::buildEditor(const char* embeddedName) {
    XP::ResourceReader reader;
    if (!embeddedName || !reader.open(embeddedName)) return nullptr;
    return buildEditor(reader);
}

ZEditor* ZEditorSkinBuilder::buildEditor(XP::InputReader& reader) {
    if (!reader.isOpen()) return nullptr;
    ZEditorSkin* built = runScript(reader);
    if (!built) return nullptr;
    auto* editor = new (std::nothrow) ZEditor(effect, built);
    if (!editor) {
        delete built;
        skin = nullptr;
        return nullptr;
    }
    return editor;
}

ZEditorSkin* ZEditorSkinBuilder::runScript(XP::InputReader& input) {
    skin = nullptr;
    if (!input.isOpen()) return nullptr;
    skin = new (std::nothrow) ZEditorSkin(effect);
    if (!skin) return nullptr;
    current.clear();

    ScriptLines lines(input);
    XP::TokenReader reader;
    while (lines.nextLine()) {
        reader.attach(&lines);
        // A line longer than the token reader's buffer comes in pieces; each
        // piece is read as a line of its own, as the line reader does.
        while (reader.readLine()) {
            if (reader.tokenCount <= 0) continue;
            lineNumber = lines.lineNumber();
            lineText = lines.lineText();
            skipNoted = false;
            reason[0] = 0;
            if (!runLine(reader)) report(skipNoted ? reason : "line made nothing");
        }
    }
    current.clear();
    lineText = "";

    if (skin->width < 1 || skin->height < 1 || skin->pageCount < 1) {
        lineNumber = 0;
        report("no width, height or pages: no skin");
        delete skin;
        skin = nullptr;
    }
    return skin;
}

bool ZEditorSkinBuilder::runLine(XP::TokenReader& reader) {
    enum Id { kInit, kBackgroundMap, kBackgroundImage, kStartPage, kRefreshThrottle, kCondition, kConditionElse,
              kEndCondition, kAddCheck, kAddResource, kAddControl, kAddNameCtl, kInstallTtf };
    struct Command {
        const char* keyword;
        int32_t minTokens;
        Id id;
    };
    // Tested in this order; the first that matches with enough tokens runs.
    static const Command kCommands[] = {
        {"Init", 3, kInit},
        {"BackgroundMap", 1, kBackgroundMap},
        {"BackgroundImage", 3, kBackgroundImage},
        {"StartPage", 1, kStartPage},
        {"RefreshThrottleMs", 1, kRefreshThrottle},
        {"Condition", 1, kCondition},
        {"ConditionElse", 0, kConditionElse},
        {"EndCondition", 0, kEndCondition},
        {"AddCheck", 2, kAddCheck},
        {"AddResource", 1, kAddResource},
        {"AddControl", 5, kAddControl},
        {"AddNameCtl", 6, kAddNameCtl},
        {"InstallTTF", 2, kInstallTtf},
    };
    const Command* command = nullptr;
    bool known = false;
    for (const Command& candidate : kCommands) {
        if (reader.tokenEquals(reader.cursor, candidate.keyword)) known = true;
        if (reader.takeKeyword(candidate.keyword, candidate.minTokens)) {
            command = &candidate;
            break;
        }
    }
    if (!command) {
        if (known) {
            noteSkip("too few tokens");
        } else {
            noteSkip("unknown command '%s'", reader.token(reader.cursor));
        }
        return false;
    }

    switch (command->id) {
        case kInit:
            skin->width = reader.integer(reader.cursor);
            skin->height = reader.integer(reader.cursor + 1);
            skin->pageCount = reader.integer(reader.cursor + 2);
            reader.cursor += 3;
            return true;
        case kBackgroundMap:
            return runBackgroundMap(reader);
        case kBackgroundImage:
            return runBackgroundImage(reader);
        case kStartPage: {
            const int32_t page = reader.integer(reader.cursor++);
            if (page < 1 || page > skin->pageCount) {
                noteSkip("start page %d outside 1 to %d", page, skin->pageCount);
                return false;
            }
            skin->startPage = page;
            return true;
        }
        case kRefreshThrottle:
            skin->refreshThrottleMs = static_cast<uint32_t>(reader.integer(reader.cursor++));
            return true;
        case kCondition:
            return runCondition(reader);
        case kConditionElse:
            current.inverted = !current.inverted;
            return true;
        case kEndCondition:
            current.clear();
            return true;
        case kAddCheck:
            return runAddCheck(reader);
        case kAddResource:
            return runAddResource(reader);
        case kAddControl:
            return runAddControl(reader, false);
        case kAddNameCtl:
            return runAddControl(reader, true);
        case kInstallTtf:
            return runInstallTtf(reader);
    }
    return false;
}

bool ZEditorSkinBuilder::addBackground(int32_t page, ZImageResource* image, int32_t frame) {
    auto* background = new (std::nothrow) ZEditorBg;
    if (!background) {
        noteSkip("out of memory");
        return false;
    }
    background->page = page;
    background->image = image;
    background->frame = frame;
    background->conditions.copySet(current);
    skin->backgrounds.add(background);
    return true;
}

bool ZEditorSkinBuilder::runBackgroundMap(XP::TokenReader& reader) {
    const char* name = reader.token(reader.cursor++);
    ZImageResource* image = findImage(skin->resources, name);
    if (!image) {
        noteSkip("unresolved resource '%s'", name);
        return false;
    }
    if (skin->pageCount < 1) {
        noteSkip("no pages yet");
        return false;
    }
    if (skin->pageCount > kMaxMappedPages) {
        noteSkip("too many pages to map");
        return false;
    }
    // An image with one frame per page gives each page its own frame.
    const bool perPage = image->getFrameCount() == skin->pageCount;
    for (int32_t page = 1; page <= skin->pageCount; ++page) {
        if (!addBackground(page, image, perPage ? page - 1 : 0)) return false;
    }
    return true;
}

bool ZEditorSkinBuilder::runBackgroundImage(XP::TokenReader& reader) {
    const int32_t page = reader.integer(reader.cursor);
    const char* name = reader.token(reader.cursor + 1);
    const int32_t frame = reader.integer(reader.cursor + 2);
    reader.cursor += 3;
    ZImageResource* image = findImage(skin->resources, name);
    if (!image) {
        noteSkip("unresolved resource '%s'", name);
        return false;
    }
    // Frames count from 1 here.
    if (page < 0 || frame < 1) {
        noteSkip("numeric rule failed");
        return false;
    }
    return addBackground(page, image, frame - 1);
}

ZCondition* ZEditorSkinBuilder::findCondition(const char* checkName, bool negate) {
    if (!skin) return nullptr;
    const ZEditorCheck* check = findByName(skin->checks, checkName);
    if (!check) return nullptr;
    for (int32_t i = 0; i < skin->conditions.size(); ++i) {
        ZCondition* condition = skin->conditions.get(i);
        if (condition && condition->check == check && condition->negate == negate) return condition;
    }
    auto* condition = new (std::nothrow) ZCondition(check, negate);
    if (condition) skin->conditions.add(condition);
    return condition;
}

bool ZEditorSkinBuilder::runCondition(XP::TokenReader& reader) {
    // Blocks do not nest: a new block replaces the one in force.
    current.clear();
    bool negate = false;
    while (reader.cursor < reader.tokenCount) {
        const char* name = reader.token(reader.cursor++);
        // "Not" as the last token is a check name.
        if (XP::equalsIgnoringCase(name, "Not") && reader.cursor < reader.tokenCount) {
            negate = true;
            continue;
        }
        if (ZCondition* condition = findCondition(name, negate)) {
            current.add(condition);
        } else {
            char why[kReasonSize];
            std::snprintf(why, sizeof(why), "unknown check '%s'", name);
            report(why);
        }
        negate = false;
    }
    return true;
}

bool ZEditorSkinBuilder::runAddCheck(XP::TokenReader& reader) {
    const char* name = reader.token(reader.cursor++);
    ZEditorCheck* check = nullptr;
    if (reader.takeKeyword("Param", 3)) {
        const char* parameterName = reader.token(reader.cursor);
        const char* opToken = reader.token(reader.cursor + 1);
        const double value = reader.number(reader.cursor + 2);
        reader.cursor += 3;
        const int32_t parameter = effect ? effect->findParameter(parameterName) : -1;
        const int32_t op = compareOpFromToken(opToken);
        if (parameter < 0) {
            noteSkip("unknown parameter '%s'", parameterName);
            return false;
        }
        if (op == kOpInvalid) {
            noteSkip("invalid operator '%s'", opToken);
            return false;
        }
        check = new (std::nothrow) ZParamCheck(effect, parameter, op, value);
    } else if (reader.takeKeyword("InOut", 4)) {
        const char* inToken = reader.token(reader.cursor);
        const int32_t inCount = reader.integer(reader.cursor + 1);
        const char* outToken = reader.token(reader.cursor + 2);
        const int32_t outCount = reader.integer(reader.cursor + 3);
        reader.cursor += 4;
        const int32_t inOp = compareOpFromToken(inToken);
        const int32_t outOp = compareOpFromToken(outToken);
        if (inOp == kOpInvalid || outOp == kOpInvalid) {
            noteSkip("invalid operator '%s'", inOp == kOpInvalid ? inToken : outToken);
            return false;
        }
        check = new (std::nothrow) ZInOutCheck(effect, inOp, inCount, outOp, outCount);
    } else if (reader.takeKeyword("OS", 1)) {
        check = new (std::nothrow) ZOSCheck(XP::equalsIgnoringCase(reader.token(reader.cursor++), "LNX"));
    } else {
        const char* kind = reader.token(reader.cursor);
        if (reader.tokenEquals(reader.cursor, "Param") || reader.tokenEquals(reader.cursor, "InOut") ||
            reader.tokenEquals(reader.cursor, "OS")) {
            noteSkip("too few tokens");
        } else {
            noteSkip("unknown check kind '%s'", kind);
        }
        return false;
    }
    if (!check) {
        noteSkip("out of memory");
        return false;
    }
    check->setName(name);
    skin->checks.add(check);
    return true;
}

ZEditorResource* ZEditorSkinBuilder::createResource(ZEditorSkin* target, XP::TokenReader& reader) {
    if (!target) return nullptr;
    SkinArgs args(reader, target, effect);
    ZEditorResource* made = nullptr;
    if (reader.takeKeyword("PngResource", 4)) {
        const char* file = args.text();
        const int32_t frameWidth = args.integer();
        const int32_t frameHeight = args.integer();
        const int32_t frameCount = args.integer();
        made = ZImageResource::create("", file, frameWidth, frameHeight, frameCount);
        if (!made) noteSkip("numeric rule failed");
    } else if (reader.takeKeyword("RGBColour", 3)) {
        const int32_t red = args.integer();
        const int32_t green = args.integer();
        const int32_t blue = args.integer();
        made = ZColourResource::createRgb("", red, green, blue);
    } else if (reader.takeKeyword("RGBAColour", 4)) {
        const int32_t red = args.integer();
        const int32_t green = args.integer();
        const int32_t blue = args.integer();
        const int32_t alpha = args.integer();
        made = ZColourResource::createRgba("", red, green, blue, alpha);
    } else if (reader.takeKeyword("DefFont", 3)) {
        const double size = args.real();
        const unsigned char* colour = args.colour();
        const char* face = args.text();
        made = colour ? ZFontResource::create("", size, colour, face) : nullptr;
        if (!made) noteSkip("%s", args.failure() ? args.failure() : "numeric rule failed");
    } else {
        static const char* const kKinds[] = {"PngResource", "RGBColour", "RGBAColour", "DefFont"};
        for (const char* kind : kKinds) {
            if (reader.tokenEquals(reader.cursor, kind)) {
                noteSkip("too few tokens");
                return nullptr;
            }
        }
        noteSkip("unknown resource kind '%s'", reader.token(reader.cursor));
    }
    return made;
}

bool ZEditorSkinBuilder::runAddResource(XP::TokenReader& reader) {
    const char* name = reader.token(reader.cursor++);
    ZEditorResource* resource = createResource(skin, reader);
    if (!resource) {
        noteSkip("no resource made");
        return false;
    }
    resource->setName(name);
    skin->resources.add(resource);
    return true;
}

ZEditorControl* ZEditorSkinBuilder::createControl(const ControlPlacement& placement, XP::TokenReader& reader) {
    if (reader.cursor >= reader.tokenCount) {
        noteSkip("no control type");
        return nullptr;
    }
    const char* type = reader.token(reader.cursor);
    bool known = false;
    for (int32_t i = 0; i < kControlTypeCount; ++i) {
        const ControlType& entry = kControlTypes[i];
        if (reader.tokenEquals(reader.cursor, entry.keyword)) known = true;
        if (!reader.takeKeyword(entry.keyword, entry.minTokens)) continue;
        SkinArgs args(reader, placement.skin, placement.effect);
        ZEditorControl* control = entry.make ? entry.make(placement, args) : nullptr;
        if (!control) noteSkip("%s", args.failure() ? args.failure() : "numeric rule failed");
        return control;
    }
    if (known) {
        noteSkip("too few tokens");
    } else {
        noteSkip("unknown control type '%s'", type);
    }
    return nullptr;
}

bool ZEditorSkinBuilder::runAddControl(XP::TokenReader& reader, bool named) {
    const char* name = named ? reader.token(reader.cursor++) : nullptr;
    ControlPlacement placement;
    placement.page = reader.integer(reader.cursor);
    placement.x = reader.integer(reader.cursor + 1);
    placement.y = reader.integer(reader.cursor + 2);
    placement.width = reader.integer(reader.cursor + 3);
    placement.height = reader.integer(reader.cursor + 4);
    reader.cursor += 5;
    placement.conditions = &current;
    placement.effect = effect;
    placement.skin = skin;
    ZEditorControl* control = createControl(placement, reader);
    if (!control) {
        noteSkip("no control made");
        return false;
    }
    if (named) control->setName(name);
    skin->controls.add(control);
    return true;
}

bool ZEditorSkinBuilder::runInstallTtf(XP::TokenReader& reader) {
    const char* face = reader.token(reader.cursor);
    const char* file = reader.token(reader.cursor + 1);
    reader.cursor += 2;
    ZFontTypeResource* resource = ZFontTypeResource::create(face, file);
    if (!resource) {
        noteSkip("out of memory");
        return false;
    }
    skin->resources.add(resource);
    return true;
}

}  // namespace VRAX
