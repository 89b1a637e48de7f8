#include "controls/ZValueEntry.h"

#include "controls/ZEditorControl.h"
#include "editor/ZCanvas.h"
#include "skin/ZFont.h"

#include <cstdio>
#include <cstring>

namespace VRAX {

namespace {

// The field: a dark box, the text in the font's colour, the selection
// behind it in that colour, faint, and a caret line.
const unsigned char kFieldColour[4] = {16, 20, 24, 255};
constexpr int32_t kTextInset = 3;

bool isCharacter(uint32_t character) { return character >= 0x20 && character < 0x7f; }

}  // namespace

ZValueEntry::ZValueEntry(ZEditorControl& owner, int32_t parameterIndex) : owner(owner), gesture(owner, parameterIndex) {}

bool ZValueEntry::press(int32_t x, int32_t y) {
    if (open) return true;
    if (!clicks.press(x, y, ZEditorControl::nowMs())) return false;
    std::snprintf(buffer, sizeof(buffer), "%s", owner.valueText(gesture.parameter()));
    length = static_cast<int32_t>(std::strlen(buffer));
    caret = length;
    selected = true;
    open = true;
    owner.requestRedraw();
    return true;
}

bool ZValueEntry::usesKey(int32_t key, uint32_t character) {
    return (key > kKeyNone && key <= kKeyEscape) || (key == kKeyNone && isCharacter(character));
}

bool ZValueEntry::key(int32_t key, uint32_t character) {
    if (!open || !usesKey(key, character)) return false;
    switch (key) {
        case kKeyEnter:
            commit();
            return true;
        case kKeyEscape:
            cancel();
            return true;
        case kKeyBackspace:
            if (selected)
                erase(0, length);
            else if (caret > 0)
                erase(caret - 1, 1);
            break;
        case kKeyDelete:
            if (selected)
                erase(0, length);
            else
                erase(caret, 1);
            break;
        case kKeyLeft:
            caret = selected ? 0 : (caret > 0 ? caret - 1 : 0);
            break;
        case kKeyRight:
            caret = selected ? length : (caret < length ? caret + 1 : length);
            break;
        case kKeyHome:
            caret = 0;
            break;
        case kKeyEnd:
            caret = length;
            break;
        default:
            if (selected) erase(0, length);
            insert(static_cast<char>(character));
            break;
    }
    selected = false;
    owner.requestRedraw();
    return true;
}

void ZValueEntry::insert(char character) {
    if (length >= kMaxLength) return;
    std::memmove(buffer + caret + 1, buffer + caret, static_cast<size_t>(length - caret + 1));
    buffer[caret++] = character;
    ++length;
}

void ZValueEntry::erase(int32_t from, int32_t count) {
    if (from < 0 || from >= length) return;
    if (from + count > length) count = length - from;
    std::memmove(buffer + from, buffer + from + count, static_cast<size_t>(length - from - count + 1));
    length -= count;
    caret = from;
}

void ZValueEntry::commit() {
    double value = 0.0;
    const bool number = owner.valueFromText(gesture.parameter(), buffer, &value);
    cancel();
    if (!number) return;
    // One edit for the host: begin, the old value, the new one, end.
    gesture.press(false, false);
    gesture.set(value);
    gesture.release();
}

void ZValueEntry::cancel() {
    if (!open) return;
    open = false;
    selected = false;
    owner.requestRedraw();
}

void ZValueEntry::draw(ZCanvas* canvas, int32_t width, int32_t height, const ZFont* font) const {
    if (!canvas || !open) return;
    canvas->fillRect(0, 0, width, height, kFieldColour);
    if (!font) return;
    const double textWidth = canvas->textWidth(buffer, font);
    unsigned char faint[4] = {font->colour[0], font->colour[1], font->colour[2], 80};
    if (selected && length > 0)
        canvas->fillRect(kTextInset - 1, 1, static_cast<int32_t>(textWidth + 2.5), height - 2, faint);
    canvas->drawText(buffer, kTextInset, 0, width - 2 * kTextInset, height, font, kAlignLeft);
    char head[kMaxLength + 1] = {};
    std::memcpy(head, buffer, static_cast<size_t>(caret));
    const double caretX = kTextInset + canvas->textWidth(head, font) + 0.5;
    canvas->drawLine(caretX, 2.0, caretX, height - 2.0, 1.0, font->colour);
}

}  // namespace VRAX
