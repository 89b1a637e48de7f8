// Named tests of the host's set-up that condition blocks refer to.
#pragma once

#include "framework/Named.h"

#include <cstdint>

namespace VRAX {

class ZEffect;

// Comparison codes of the script's operators; 6 means invalid.
enum ZCompareOp : int32_t { kOpEqual = 0, kOpNotEqual, kOpGreater, kOpLess, kOpGreaterEqual, kOpLessEqual, kOpInvalid };

// "==" 0, "!=" 1, ">" 2, "<" 3, ">=" 4, "<=" 5, anything else 6.
int32_t compareOpFromToken(const char* token);
// Codes above 5 make a test true.
bool compareInts(int32_t current, int32_t op, int32_t value);
bool compareDoubles(double current, int32_t op, double value);

class ZEditorCheck : public ZIdBase {
public:
    ~ZEditorCheck() override = default;
    int32_t typeId() const override { return typeIdOf<ZEditorCheck>(); }
    virtual bool evaluate() const = 0;
};

class ZParamCheck : public ZEditorCheck {
public:
    ZParamCheck(ZEffect* effect, int32_t param, int32_t op, double value)
        : effect(effect), param(param), op(op), value(value) {}
    int32_t typeId() const override { return typeIdOf<ZParamCheck>(); }
    bool evaluate() const override;

    ZEffect* effect;
    int32_t param;
    int32_t op;
    double value;
};

class ZInOutCheck : public ZEditorCheck {
public:
    ZInOutCheck(ZEffect* effect, int32_t inOp, int32_t inCount, int32_t outOp, int32_t outCount)
        : effect(effect), inOp(inOp), inCount(inCount), outOp(outOp), outCount(outCount) {}
    int32_t typeId() const override { return typeIdOf<ZInOutCheck>(); }
    bool evaluate() const override;

    ZEffect* effect;
    int32_t inOp;
    int32_t inCount;
    int32_t outOp;
    int32_t outCount;
};

class ZOSCheck : public ZEditorCheck {
public:
    explicit ZOSCheck(bool match) : match(match) {}
    int32_t typeId() const override { return typeIdOf<ZOSCheck>(); }
    bool evaluate() const override { return match; }

    bool match;
};

class ZInputCheck : public ZEditorCheck {
public:
    ZInputCheck(ZEffect* effect, int32_t op, int32_t count) : effect(effect), op(op), count(count) {}
    int32_t typeId() const override { return typeIdOf<ZInputCheck>(); }
    bool evaluate() const override;

    ZEffect* effect;
    int32_t op;
    int32_t count;
};

class ZOutputCheck : public ZEditorCheck {
public:
    ZOutputCheck(ZEffect* effect, int32_t op, int32_t count) : effect(effect), op(op), count(count) {}
    int32_t typeId() const override { return typeIdOf<ZOutputCheck>(); }
    bool evaluate() const override;

    ZEffect* effect;
    int32_t op;
    int32_t count;
};

}  // namespace VRAX
