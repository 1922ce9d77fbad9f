#pragma once

#include "LoginItem.h"

// A login-item service held in memory; it can be told to fail like a real one (log, no change).
class FakeLoginItem final : public LoginItem {
public:
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;

    bool failing = false;
    int calls = 0;

private:
    bool m_enabled = false;
};
