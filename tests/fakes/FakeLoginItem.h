#pragma once

#include "core/settings/LoginItem.h"

#include <QtDebug>

// A login-item service held in memory; it can be told to fail like a real one (log, no change).
class FakeLoginItem final : public LoginItem {
public:
    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override {
        if (failing)
            qWarning().noquote() << "Pobi: launch at login failed: the service said no";
        else
            m_enabled = enabled;
    }

    bool failing = false;

private:
    bool m_enabled = false;
};
