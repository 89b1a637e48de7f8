// The X11 UI: the effect's own editor, opened through the VST editor opcodes
// in a window of ours inside the host's parent. The UI reaches the instance
// directly (instance-access); knob moves come from the editor's window
// thread through the instance's links and go to the host from idle, on the
// host's UI thread. Host changes need nothing here: run gives them to the
// effect, which asks the open editor to redraw.
#include "lv2/Lv2Ui.h"

#include "framework/ZEffectParameter.h"
#include "lv2/Lv2Instance.h"

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <X11/Xlib.h>

#include <cstring>
#include <new>

namespace qolm_lv2 {

namespace {

struct Ui {
    Instance* plugin = nullptr;
    Display* display = nullptr;
    Window container = 0;
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;
    // How many of each link's writes, gesture starts and ends went out.
    uint32_t writesSent[kParameterPorts] = {};
    uint32_t beginsSent[kParameterPorts] = {};
    uint32_t endsSent[kParameterPorts] = {};
    float lastWritten[kParameterPorts] = {};
};

const void* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

AEffect* recordOf(const Ui* ui) { return ui->plugin->record(); }

// Sends what the editor did since the last call, in the order it did it:
// a gesture's start, its latest value, its end.
void deliver(Ui* ui) {
    for (uint32_t i = 0; i < kParameterPorts; ++i) {
        ParameterLink& link = ui->plugin->link(i);
        // Ends first: a write that came before an end is then seen too.
        const uint32_t ends = link.ends.load();
        const uint32_t writes = link.writes.load();
        const uint32_t begins = link.begins.load();
        if (begins != ui->beginsSent[i]) {
            ui->beginsSent[i] = begins;
            if (ui->touch) ui->touch->touch(ui->touch->handle, i, true);
        }
        if (writes != ui->writesSent[i]) {
            ui->writesSent[i] = writes;
            const float real = static_cast<float>(ui->plugin->parameter(i)->toReal(link.value.load()));
            ui->lastWritten[i] = real;
            ui->write(ui->controller, i, sizeof(float), 0, &real);
        }
        if (ends != ui->endsSent[i]) {
            ui->endsSent[i] = ends;
            link.releasedValue.store(ui->lastWritten[i]);
            link.gesture.store(ParameterLink::kReleased);
            if (ui->touch) ui->touch->touch(ui->touch->handle, i, false);
        }
    }
}

QOLM_HOST_ENTRY LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    // Without the instance there is no editor to show: the host's generic
    // controls do everything.
    Instance* plugin = Instance::fromHandle(const_cast<void*>(findFeature(features, LV2_INSTANCE_ACCESS_URI)));
    const void* parent = findFeature(features, LV2_UI__parent);
    if (!plugin || !parent || !write || !widget) return nullptr;
    AEffect* effect = plugin->record();
    if (!(effect->flags & effFlagsHasEditor)) return nullptr;

    ERect* rect = nullptr;
    int width = 285, height = 195;
    if (effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0.0f) && rect) {
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    auto* ui = new (std::nothrow) Ui();
    if (!ui) return nullptr;
    ui->plugin = plugin;
    ui->write = write;
    ui->controller = controller;
    ui->touch = static_cast<const LV2UI_Touch*>(findFeature(features, LV2_UI__touch));
    ui->display = XOpenDisplay(nullptr);
    if (!ui->display) {
        delete ui;
        return nullptr;
    }
    // Our own window between the host's and the editor's: its id is known at
    // once, while the editor's thread makes its window when it gets to it.
    ui->container = XCreateSimpleWindow(ui->display, reinterpret_cast<Window>(const_cast<void*>(parent)), 0, 0,
                                        static_cast<unsigned>(width), static_cast<unsigned>(height), 0, 0,
                                        BlackPixel(ui->display, DefaultScreen(ui->display)));
    XMapWindow(ui->display, ui->container);
    // The editor's thread uses the window on its own connection.
    XSync(ui->display, False);
    if (const auto* resize = static_cast<const LV2UI_Resize*>(findFeature(features, LV2_UI__resize)))
        resize->ui_resize(resize->handle, width, height);

    // What the editor did before this UI existed is not news for the host.
    for (uint32_t i = 0; i < kParameterPorts; ++i) {
        ParameterLink& link = plugin->link(i);
        ui->writesSent[i] = link.writes.load();
        ui->beginsSent[i] = link.begins.load();
        ui->endsSent[i] = link.ends.load();
        link.gesture.store(ParameterLink::kFree);
    }
    effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(ui->container), 0.0f);
    *widget = reinterpret_cast<LV2UI_Widget>(ui->container);
    return ui;
}

QOLM_HOST_ENTRY void cleanup(LV2UI_Handle handle) {
    auto* ui = static_cast<Ui*>(handle);
    AEffect* effect = recordOf(ui);
    effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    deliver(ui);
    // No UI is left to finish a gesture: the host's values count again.
    for (uint32_t i = 0; i < kParameterPorts; ++i) ui->plugin->link(i).gesture.store(ParameterLink::kFree);
    // A host may have destroyed its parent, and our window with it, already:
    // Xlib's default answer to that error would end the host.
    XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XDestroyWindow(ui->display, ui->container);
    XSync(ui->display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(ui->display);
    delete ui;
}

QOLM_HOST_ENTRY void portEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

QOLM_HOST_ENTRY int idle(LV2UI_Handle handle) {
    auto* ui = static_cast<Ui*>(handle);
    deliver(ui);
    AEffect* effect = recordOf(ui);
    effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    return 0;
}

const LV2UI_Idle_Interface kIdle = {idle};

QOLM_HOST_ENTRY const void* extensionData(const char* uri) {
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdle : nullptr;
}

const LV2UI_Descriptor kDescriptor = {kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

const LV2UI_Descriptor* uiDescriptor(uint32_t index) { return index == 0 ? &kDescriptor : nullptr; }

}  // namespace qolm_lv2
