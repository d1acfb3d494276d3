#pragma once
#include "shell/Layouts.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QMainWindow;
class QTabWidget;
class QWidget;

// Lays the main window out for a screen size. The design bounds of every
// scaled control are recorded once; every layout scales from them, so choosing
// a layout twice gives the same bounds.
//
// Scaled controls: every control placed by coordinates (not by a Qt layout)
// on the pages of `pagecontrol1` except `ParametryTab` and `DrukowanieTab`,
// which get the parameter-page placement by name. Panels that fill their
// parent at recording time keep filling it. `pagecontrol1` and `PageControl2`
// take the bounds of the layout table.
//
// The main window calls:
//   creation: applier.recordDesignBounds();               (before any layout)
//   settings: applier.applyLayout(0, screen);             (screen-width layout)
//             applier.layoutMenuCommand(item, screen);    (remembered layout, menu items)
//   close:    applier.checkedItem() for the settings.
class LayoutApplier : public QObject {
    Q_OBJECT
public:
    struct Screen {
        QSize size;     // the whole screen
        QRect workArea; // without the task bar
    };

    explicit LayoutApplier(QMainWindow* window);

    void recordDesignBounds();
    bool recorded() const { return recorded_; }
    // Design bounds of a recorded control (scaled, page control or parameter page); invalid if none.
    QRect designBounds(const QWidget* w) const;
    int scaledControlCount() const { return int(scaled_.size()); }

    // The size layout for width w (0: the screen's width).
    shell::layout::Layout applyLayout(int w, const Screen& screen);
    // A layout menu item 1 ... 6 was chosen.
    void layoutMenuCommand(int item, const Screen& screen);
    // The parameters page's placement by its numbers.
    void applyParamPage(const shell::layout::ParamPageNumbers& n);
    // Bold or plain parameter labels.
    void setParamLabelsBold(bool bold);

    // Where pagecontrol1 goes; the window may keep it inside its client area.
    // Empty: pagecontrol1 takes the bounds as they are.
    std::function<void(const QRect&)> placePageControl;
    // A parameters page arranged by Qt layouts takes the numbers itself (font
    // sizes, field column, group width); empty: placement by coordinates.
    std::function<void(const shell::layout::ParamPageNumbers&)> placeParamPage;

    double scale() const { return scale_; }
    int checkedItem() const { return checkedItem_; }
    bool fullScreen() const { return fullScreen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Scaled {
        QPointer<QWidget> widget;
        QRect design;
        shell::layout::ControlKind kind;
        bool designBold = false;
    };
    void walk(QWidget* parent, bool record);
    void addFiller(QWidget* w);
    void placeScaled(const Scaled& s, const shell::layout::Layout& l);
    void setZoomBox(bool on);
    void setWindowSize(QSize size);
    void releaseWindowSize();
    void checkItem(int item);
    QWidget* named(const QString& name) const;
    QRect paramDesign(const QString& name) const;

    QMainWindow* window_;
    QPointer<QTabWidget> pages_;
    QPointer<QTabWidget> wizardPages_;
    QRect pagesDesign_, wizardDesign_;
    QList<Scaled> scaled_;
    QHash<QString, QRect> paramDesign_;
    QList<QPointer<QWidget>> fillers_;
    bool recorded_ = false;
    double scale_ = 1.0;
    int checkedItem_ = 2;
    bool fullScreen_ = false;
};
