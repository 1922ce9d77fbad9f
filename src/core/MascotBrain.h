#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The mascot's animation state: mood, flags, eye outlines and nine damped springs, advanced only
// by frame(t). Canvas units: a 200 x 200 square, y downward.
class MascotBrain : public QObject {
    Q_OBJECT
public:
    enum class Mood { Content, Neutral, Alert, Sleep, Done };
    using Outline = std::vector<QPointF>;

    struct Wave {
        double opacity = 0;
        double dy = 0;
    };
    struct Frame {
        std::vector<Outline> eyes;
        double strokeWidth = 0;
        QPointF eyeOffset;
        double y = 0;
        double rot = 0;
        double earRot = 0;
        double earSink = 0;
        double btnRot = 0;
        double btnSink = 0;
        std::vector<Wave> waves; // always two
    };

    // The ear's pivot, shared with the painter.
    static constexpr QPointF ear{155.15519990456642, 69.71929210256917};

    // random: uniform in [0, 1); defaults to a generator seeded from the system.
    MascotBrain(Mood mood, bool alive, std::function<double()> random = {},
                QObject* parent = nullptr);
    ~MascotBrain() override;

    Frame frame(double t); // t: wall time in seconds, any epoch

    Mood mood() const { return m_mood; }
    void setMood(Mood mood);
    bool talking() const { return m_talking; }
    void setTalking(bool talking) { m_talking = talking; }
    bool muted() const { return m_muted; }
    void assignMuted(bool muted) { m_muted = muted; } // no flash
    void setMuted(bool muted);                        // flashes "muted" / "sound"
    std::optional<QString> icon() const { return m_icon; }
    QString shape() const { return m_shape; }

    void flash(const QString& name, double ms);
    void digit(int n);
    void oops();
    void hop(double p);
    void celebrate();
    void shake();
    void beat(bool accent);
    void settle();

    // Shape table and outline builders.
    struct Shape {
        std::vector<Outline> eyes;
        double sw = 0;
    };
    static const Shape* shapeNamed(const QString& name);
    static QString moodShapeName(Mood mood);
    static Outline line(const Outline& p);
    static Outline rrect(double cx, double cy, double w, double h, double r);
    static Outline resample(const Outline& p);
    static Outline align(const Outline& cur, const Outline& target);

    // Implementation state; public so tests and the painter can inspect it.
    struct Spring {
        double x = 0, v = 0, t = 0, k = 0, c = 0;
    };
    struct EyeMorph {
        Outline cur, from;
        std::optional<Outline> to;
        double t0 = 0, dur = 1;
    };
    const std::vector<EyeMorph>& eyes() const { return m_eyes; }
    double clockMs() const { return m_clock; }

private:
    // ... filled in by the implementation
    void morph(const QString& name, double ms);
    void enqueue(double at, std::function<void()> fn);
    void scheduleLife();

    Mood m_mood;
    bool m_talking = false;
    bool m_muted = false;
    std::optional<QString> m_icon;
    QString m_shape;
    bool m_alive;
    double m_clock = 0;
    std::optional<double> m_last;
    std::vector<std::pair<double, std::function<void()>>> m_queue;
    std::vector<EyeMorph> m_eyes;
    std::function<double()> m_random;
};
