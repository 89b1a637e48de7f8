// Every test of this folder: a real X server (skipped without DISPLAY), its
// XTEST extension for the pointer, and Qolm.so instances with their editors
// open. One test at a time owns the screen (the CTest resource lock), since
// each maps windows and moves the one pointer.
#pragma once

// Before the X headers, whose macros (None, Bool) it would not survive.
#include <gtest/gtest.h>

#include "EditorSession.h"
#include "Pointer.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace e2e {

class EditorE2E : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        XInitThreads();
        display = edtest::openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(edtest::quietErrors);
        edtest::pinGlDriver(display);
        background = edtest::decodeEmbeddedPng("Qolm.png");
        ASSERT_EQ(background.width, 2 * kWidth);
        ASSERT_EQ(background.height, kHeight);
        pointer = std::make_unique<Pointer>(display);
        if (!pointer->available()) GTEST_SKIP() << "the X server has no XTEST extension";
    }

    void TearDown() override {
        sessions.clear();
        pointer.reset();
        if (display) XCloseDisplay(display);
        display = nullptr;
    }

    // A started instance whose editor shows page 1 in a parent at (x, y);
    // null (with the reason recorded as a failure) otherwise.
    EditorSession* openEditor(const std::string& product = "Host", int x = 0, int y = 0) {
        auto session = std::make_unique<EditorSession>(display, background, product);
        if (!session->start()) {
            ADD_FAILURE() << "cannot load or create " << qtest::pluginPath();
            return nullptr;
        }
        const std::string problem = session->open(x, y);
        if (!problem.empty()) {
            ADD_FAILURE() << problem;
            return nullptr;
        }
        if (!session->waitForPage(1)) {
            ADD_FAILURE() << "the editor did not draw its main page";
            return nullptr;
        }
        sessions.push_back(std::move(session));
        return sessions.back().get();
    }

    // Drags from the centre of a control by (dx, dy) and waits until the
    // host has been told the gesture ended.
    void dragKnob(EditorSession& session, const Area& knob, int dx, int dy, int steps = 1, Keys keys = {}) {
        const int ends = session.host->countCalls(audioMasterEndEdit);
        pointer->drag(session.window(), knob.centreX(), knob.centreY(), dx, dy, steps, keys);
        EXPECT_TRUE(session.waitUntil([&] { return session.host->countCalls(audioMasterEndEdit) > ends; }))
            << "the drag did not end an edit";
    }

    void clickAt(EditorSession& session, int x, int y, Keys keys = {}) { pointer->click(session.window(), x, y, keys); }

    Display* display = nullptr;
    Picture background;
    std::unique_ptr<Pointer> pointer;
    std::vector<std::unique_ptr<EditorSession>> sessions;
};

}  // namespace e2e
