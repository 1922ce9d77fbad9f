#pragma once

#include <QObject>

// The desktop's choice between a light and a dark look, as far as the desktop tells it. The base
// class knows nothing and stays at NoPreference (a desktop that says nothing).
class ColorSchemeService : public QObject {
    Q_OBJECT
public:
    enum class Scheme { NoPreference, Dark, Light };
    Q_ENUM(Scheme)

    explicit ColorSchemeService(QObject* parent = nullptr) : QObject(parent) {}

    Scheme scheme() const { return m_scheme; }

signals:
    void schemeChanged(ColorSchemeService::Scheme scheme);

protected:
    void setScheme(Scheme scheme) {
        if (scheme == m_scheme)
            return;
        m_scheme = scheme;
        emit schemeChanged(scheme);
    }

private:
    Scheme m_scheme = Scheme::NoPreference;
};
