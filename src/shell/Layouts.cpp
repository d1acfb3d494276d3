#include "shell/Layouts.h"
#include "core/Controls.h"

namespace shell::layout {

namespace {

Layout make(int width, int item, double scale, int base, int title, std::optional<ParamPageNumbers> pp,
            std::optional<QRect> pc1, std::optional<QRect> pc2, QSize window) {
    Layout l;
    l.width = width;
    l.item = item;
    l.scale = real48(scale);
    l.baseFont = base;
    l.titleFont = title;
    l.paramPage = pp;
    l.pageControl1 = pc1;
    l.pageControl2 = pc2;
    l.window = window;
    return l;
}

QRect pc1Scaled(double scale, int w, int h) {
    const double f = real48(scale);
    return QRect(2, 0, roundHalfEven(f * w), roundHalfEven(f * h));
}

} // namespace

Layout forWidth(int width) {
    switch (width) {
    case 640:
        return make(640, 1, 0.7, 8, 14, ParamPageNumbers{8, 160, 240, 640}, QRect(2, 0, 632, 390),
                    QRect(8, 25, 609, 330), QSize(640, 460));
    case 720:
        // The 720 layout places the parameters page against the 640 reference.
        return make(720, 2, 0.9, 8, 16, ParamPageNumbers{8, 160, 240, 640}, QRect(2, 0, 717, 490),
                    QRect(8, 25, 690, 420), QSize(730, 560));
    case 800:
        return make(800, 3, 1.0, 12, 18, DesignParamPage, std::nullopt, std::nullopt, QSize(800, 580));
    case 1024:
        return make(1024, 4, 1.3, 16, 20, ParamPageNumbers{16, 310, 420, 1024}, pc1Scaled(1.3, 781, 520),
                    QRect(25, 49, 960, 555), QSize(1024, 745));
    case 1152:
        return make(1152, 5, 1.468, 16, 20, ParamPageNumbers{16, 300, 470, 1152}, pc1Scaled(1.468, 781, 520),
                    QRect(25, 49, 1085, 630), QSize(1124, 860));
    case 1280:
        return make(1280, 6, 1.608, 16, 20, ParamPageNumbers{21, 415, 534, 1280}, pc1Scaled(1.608, 811, 580),
                    QRect(25, 49, 1235, 850), QSize(1260, 1000));
    case 1600: {
        Layout l = forWidth(1280);
        l.width = 1600;
        l.window = QSize(1278, 1000);
        return l;
    }
    default:
        return make(0, 3, 1.0, 12, 18, std::nullopt, std::nullopt, std::nullopt, QSize());
    }
}

int itemWidth(int item) {
    static const int widths[] = {640, 720, 800, 1024, 1152, 1280};
    return item >= 1 && item <= 6 ? widths[item - 1] : 800;
}

int itemHeight(int item) {
    static const int heights[] = {480, 576, 600, 768, 864, 1024};
    return item >= 1 && item <= 6 ? heights[item - 1] : 600;
}

int startWidth(QSize screen, const QRect& available) {
    const auto holds = [&available](int item) {
        return available.width() >= itemWidth(item) - TaskBarAllowance &&
               available.height() >= itemHeight(item) - TaskBarAllowance;
    };
    const Layout own = forWidth(screen.width());
    if (holds(own.item)) return screen.width();
    for (int item = own.item - 1; item > 1; --item)
        if (holds(item)) return itemWidth(item);
    return itemWidth(1);
}

Layout forItem(int item) {
    return forWidth(itemWidth(item));
}

QString menuItem(int item) {
    using ctl::ControlId;
    static const ControlId ids[] = {ControlId::CzcionkaMala, ControlId::CzcionkaSrednia,
                                    ControlId::CzcionkaDuza, ControlId::N1024,
                                    ControlId::N1152,        ControlId::N1280};
    return item >= 1 && item <= 6 ? ctl::name(ids[item - 1]) : QString();
}

WindowRule windowRule(int w, QSize screen) {
    WindowRule r;
    const Layout l = forWidth(w);
    if (w == 1600) {
        r.mode = WindowRule::Mode::Centred;
        r.size = l.window;
        r.position = QPoint(roundHalfEven(screen.width() * 0.5 - r.size.width() * 0.5),
                            roundHalfEven(screen.height() * 0.5 - r.size.height() * 0.5));
        return r;
    }
    if (l.width == 0) return r; // any other width: unchanged
    if (screen.width() == w) {
        r.mode = WindowRule::Mode::FullScreen;
        return r;
    }
    r.mode = WindowRule::Mode::Fixed;
    r.size = l.window;
    return r;
}

QRect fullScreenGeometry(QSize screen, const QRect& workArea) {
    return QRect(2, 2, screen.width(), workArea.y() + workArea.height());
}

QPoint centred(QSize screen, QSize window) {
    return QPoint(roundHalfEven(screen.width() * 0.5) - roundHalfEven(window.width() * 0.5),
                  roundHalfEven(screen.height() * 0.5) - roundHalfEven(window.height() * 0.5));
}

namespace {

ctl::FontRole roleOf(const QString& name) {
    const std::optional<ctl::ControlId> id = ctl::byName(name);
    return id ? ctl::row(*id).font : ctl::FontRole::Auto;
}

} // namespace

std::optional<ControlKind> kindByName(const QString& n) {
    switch (roleOf(n)) {
    case ctl::FontRole::PositionOnly:
        return ControlKind::PositionOnly;
    case ctl::FontRole::FlatCheckBox:
        return ControlKind::FlatCheckBox;
    case ctl::FontRole::HalfMeter:
        return ControlKind::HalfMeter;
    case ctl::FontRole::RoundMeter:
    case ctl::FontRole::LargeRoundMeter:
        return ControlKind::RoundMeter;
    case ctl::FontRole::VerticalGauge:
        return ControlKind::VerticalGauge;
    case ctl::FontRole::Thermometer:
        return ControlKind::Thermometer;
    case ctl::FontRole::Lamp:
        return ControlKind::Lamp;
    case ctl::FontRole::Combo:
        return ControlKind::Combo;
    case ctl::FontRole::NoFont:
        return ControlKind::NoFont;
    case ctl::FontRole::Auto:
    case ctl::FontRole::Title:
    case ctl::FontRole::Scaled:
    case ctl::FontRole::Doubled:
        break;
    }
    return std::nullopt;
}

FontSizes fontsFor(ControlKind kind, const QString& name, const Layout& l) {
    FontSizes f;
    const int base = l.baseFont;
    const std::optional<ctl::ControlId> id = ctl::byName(name);
    const ctl::FontRole role = id ? ctl::row(*id).font : ctl::FontRole::Auto;
    switch (kind) {
    case ControlKind::Label:
        if (role == ctl::FontRole::Title)
            f.main = l.titleFont;
        else if (role == ctl::FontRole::Scaled)
            f.main = roundHalfEven(l.scale * ctl::row(*id).points);
        else if (role == ctl::FontRole::Doubled)
            f.main = 2 * base;
        else
            f.main = base;
        f.plain = f.main < 10;
        break;
    case ControlKind::Group:
    case ControlKind::CheckBox:
    case ControlKind::ColourButton:
    case ControlKind::Combo:
    case ControlKind::FlatCheckBox:
        f.main = base;
        break;
    case ControlKind::HalfMeter:
        f.main = base;
        f.scale = base;
        f.unit = base - 1;
        break;
    case ControlKind::RoundMeter:
        f.main = role == ctl::FontRole::LargeRoundMeter ? base + 2 : base;
        f.unit = f.main - 1;
        break;
    case ControlKind::VerticalGauge:
        f.main = base + 2;
        break;
    case ControlKind::Thermometer:
        f.scale = base;
        break;
    case ControlKind::Lamp:
        f.main = base;
        f.lampHeight = roundHalfEven(l.scale * 25);
        break;
    case ControlKind::PositionOnly:
    case ControlKind::NoFont:
        break;
    }
    return f;
}

} // namespace shell::layout
