// Typing a parameter's value: a double-click on a value display opens a
// small text field over it holding the value text, all of it selected; Enter
// sets the parameter from the text as effString2Parameter would, as one
// edit; Escape, a click elsewhere or the window going cancels. A text with
// no number in it leaves the parameter as it was.
//
// Window thread only, except usesKey, which any thread may ask.
#pragma once

#include "controls/ZGesture.h"

#include <cstdint>

namespace VRAX {

class ZCanvas;
class ZEditorControl;
class ZFont;

class ZValueEntry {
public:
    static constexpr int32_t kMaxLength = 31;

    ZValueEntry(ZEditorControl& owner, int32_t parameterIndex);

    // A left press at (x, y) in the value display: the second of a
    // double-click opens the field. True while the field is open.
    bool press(int32_t x, int32_t y);
    // One key for the open field (a ZKey, or a character); true when the
    // field used it.
    bool key(int32_t key, uint32_t character);
    // Closes the field without setting anything.
    void cancel();
    bool isOpen() const { return open; }
    // Whether an open field uses this key: characters it can hold and its
    // editing keys.
    static bool usesKey(int32_t key, uint32_t character);

    // The field over the whole control, in the font's size and colour.
    void draw(ZCanvas* canvas, int32_t width, int32_t height, const ZFont* font) const;

    const char* text() const { return buffer; }
    int32_t caretPosition() const { return caret; }
    bool allSelected() const { return selected; }

private:
    void commit();
    void insert(char character);
    void erase(int32_t from, int32_t count);

    ZEditorControl& owner;
    ZGesture gesture;
    ZDoubleClick clicks;
    bool open = false;
    bool selected = false;
    int32_t caret = 0;
    int32_t length = 0;
    char buffer[kMaxLength + 1] = {};
};

}  // namespace VRAX
