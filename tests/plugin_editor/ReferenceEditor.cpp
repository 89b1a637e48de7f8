#include "ReferenceEditor.h"

#include "Pointer.h"

#include "dsp/ZFilter.h"
#include "editor/EditorWindow.h"
#include "editor/ZEditor.h"
#include "io/EmbeddedFile.h"
#include "io/InputReader.h"
#include "skin/ZEditorSkinBuilder.h"

#include <cstring>
#include <memory>

namespace e2e {

namespace {

class TextReader : public XP::InputReader {
public:
    explicit TextReader(const std::string& text) : text(text) {}
    bool isOpen() const override { return true; }
    int32_t read(void* destination, int32_t n) override {
        if (n <= 0 || position >= text.size()) return 0;
        const size_t count = std::min(static_cast<size_t>(n), text.size() - position);
        std::memcpy(destination, text.data() + position, count);
        position += count;
        return static_cast<int32_t>(count);
    }

private:
    const std::string& text;
    size_t position = 0;
};

// The in-process editor on the screen. The effect has no host: a script
// without variables needs none.
class Reference : public ScreenEditor {
public:
    Reference(Display* display, const Picture& background) : ScreenEditor(display, background), effect(nullptr) {}
    ~Reference() override {
        close();
        delete editor;
    }
    bool build(const std::string& script) {
        TextReader reader(script);
        VRAX::ZEditorSkinBuilder builder(&effect);
        editor = builder.buildEditor(reader);
        return editor != nullptr;
    }
    bool open(int x, int y) {
        makeParent(x, y);
        return editor->open(reinterpret_cast<void*>(parentWindow()));
    }
    void close() {
        if (editor) editor->close();
    }
    uint32_t passes() const { return editor && editor->getWindow() ? editor->getWindow()->drawPasses() : 0; }
    void idle() override {
        if (editor) editor->idle();
    }

private:
    VRAX::ZFilter effect;
    VRAX::ZEditor* editor = nullptr;
};

}  // namespace

std::string embeddedSkinWith(const std::vector<std::pair<std::string, std::string>>& replacements,
                             std::string* problem) {
    int32_t size = 0;
    const unsigned char* bytes = findEmbeddedFile("QolmSkin.txt", &size);
    if (!bytes || size <= 0) {
        *problem = "no embedded QolmSkin.txt";
        return "";
    }
    std::string script(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
    for (const auto& [from, to] : replacements) {
        const size_t at = script.find(from);
        if (at == std::string::npos) {
            *problem = "the embedded skin has no " + from;
            return "";
        }
        script.replace(at, from.size(), to);
    }
    return script;
}

Picture renderReference(Display* display, const Picture& background, Pointer& pointer, const std::string& script,
                        int page, std::string* problem, int x, int y) {
    Reference reference(display, background);
    if (!reference.build(script)) {
        *problem = "the reference script gives no editor";
        return {};
    }
    if (!reference.open(x, y)) {
        *problem = "the reference editor does not open";
        return {};
    }
    if (!reference.waitForPage(1)) {
        *problem = "the reference editor did not draw page 1";
        return {};
    }
    if (page != 1) {
        // The skin's tabs: page 1 at x 175, page 2 at x 230, 50 wide.
        const uint32_t before = reference.passes();
        pointer.click(reference.window(), 175 + 55 * (page - 1) + 25, 10);
        // The press draws the new page with the tab held, the release the tab let go.
        if (!reference.waitForPage(page) || !reference.waitUntil([&] { return reference.passes() >= before + 2; }) ||
            !reference.waitForStill()) {
            *problem = "the reference editor did not switch pages";
            return {};
        }
    }
    Picture shown = reference.shot();
    reference.close();
    return shown;
}

}  // namespace e2e
