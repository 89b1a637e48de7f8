// Base of everything the skin places: a rectangle on a page, conditions that
// can hide it, and the dirty/drawn model that decides when it is drawn.
#pragma once

#include "framework/Named.h"
#include "framework/ProgramBank.h"
#include "framework/PtrList.h"
#include "skin/ControlPlacement.h"
#include "skin/CursorKind.h"
#include "skin/ZCondition.h"

#include <cstdint>

namespace VRAX {

class ZCanvas;
class ZEditReports;
class ZEditorSkin;
class ZEffect;

// Keys a typing control understands besides characters.
enum ZKey : int32_t {
    kKeyNone = 0,
    kKeyBackspace,
    kKeyDelete,
    kKeyLeft,
    kKeyRight,
    kKeyHome,
    kKeyEnd,
    kKeyEnter,
    kKeyEscape,
};

class ZEditorControl : public ZIdBase {
public:
    explicit ZEditorControl(const ControlPlacement& placement);
    ~ZEditorControl() override = default;

    int32_t typeId() const override { return typeIdOf<ZEditorControl>(); }

    virtual void invalidate();
    virtual void erase(ZCanvas* canvas);
    virtual bool paint(ZCanvas* canvas);
    virtual bool needsRedraw();
    virtual void draw(ZCanvas* canvas);
    virtual void requestRedraw();
    virtual int32_t cursorAt(int32_t x, int32_t y);
    virtual bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y);
    virtual bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y);
    virtual bool rightDown(bool shift, bool ctrl, int32_t x, int32_t y);
    virtual bool rightUp(bool shift, bool ctrl, int32_t x, int32_t y);
    virtual void mouseMove(bool shift, bool ctrl, int32_t x, int32_t y);
    virtual void cancelGesture();
    // Wheel notches over the control (up positive); true when it used them.
    virtual bool wheel(bool shift, bool ctrl, int32_t x, int32_t y, int32_t notches);
    // Time passes (the window thread calls it between events): ends what
    // waits for a quiet moment, everything of it when finishing. The
    // milliseconds until it wants the next call, -1 for never.
    virtual int32_t timerTick(bool finish);
    // Keyboard, for a control that is taking typed text: one key (a ZKey or
    // 0) with its character (0 for none); true when the control used it.
    virtual bool keyDown(int32_t key, uint32_t character);
    // The control takes typed text now.
    virtual bool isTyping() const;
    // The typing ends without effect (a click elsewhere, the window going).
    virtual void stopTyping();

    // Page and conditions; the skin adds the current page.
    bool conditionsHold() const;
    // In 64 bits: a script may place a control anywhere in the 32-bit range.
    bool contains(int32_t px, int32_t py) const {
        return px >= x && static_cast<int64_t>(px) < static_cast<int64_t>(x) + width && py >= y &&
               static_cast<int64_t>(py) < static_cast<int64_t>(y) + height;
    }

    int32_t x, y, width, height;
    int32_t page;
    PtrList<ZCondition> conditions;
    bool conditionsInverted;
    ZEffect* effect;
    ZEditorSkin* skin;
    bool dirty = true;
    bool drawn = false;

protected:
    // Parameter access for the current program (index i of the effect).
    double storedValue(int32_t i) const;
    double shownValue(int32_t i) const;
    double defaultValue(int32_t i) const;
    // The normalised value a text gives, parsed as effString2Parameter
    // parses it; false (out unchanged) when the text holds no number.
    bool valueFromText(int32_t i, const char* text, double* out) const;
    // A copy of the value text (no unit), valid until the next call.
    const char* valueText(int32_t i) const;
    // A copy of the display text, valid until the next call: the host's
    // threads may rebuild the text while the window thread draws it.
    const char* displayText(int32_t i) const;
    // Edit steps: report to the host, set through the effect, refresh. On
    // a window thread the reports wait for the host's thread (ZEditReports).
    void reportParameter(int32_t i);
    void setParameterValue(int32_t i, double value);
    bool beginEdit(int32_t i);
    bool endEdit(int32_t i);
    void executeCommand(int32_t command, bool shift, bool ctrl);
    // Monotonic milliseconds, wrapping in 32 bits.
    static int32_t nowMs();
    // A shown value moved enough to be drawn again (by 0.00001 or more, or
    // to or from a value that is not a number).
    static bool movedVisibly(double now, double last);

private:
    friend class ZGesture;
    friend class ZValueEntry;

    // The skin's report queue when called on a window thread, else null.
    ZEditReports* queuedReports() const;

    mutable char textCopy[ProgramBank::kDisplayTextSize] = {};
};

}  // namespace VRAX
