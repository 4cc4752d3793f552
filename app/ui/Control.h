#pragma once

#include <functional>
#include <string>

namespace tidewell::ui {

// The control model of a window. A core owns its controls and changes them; the window's view
// creates one real control per model control, observes it and reflects every change into the real
// control. User actions come back as calls on the model (CheckBox::SetValue, CommandButton::Click,
// Timer::Tick, ...), which run the core's handlers.

enum class ControlKind {
    Label,
    Frame,
    CheckBox,
    OptionButton,
    CommandButton,
    ProgressBar,
    StatusBar,
    Timer,
    ListBox,
    TextBox
};

// What changed, so the view updates only that.
enum class Change { Caption, TipText, Enabled, Visible, Position, Value, Range, Interval, Items };

// Position and size in twips (1440 per inch; 15 per pixel at 96 dpi), relative to the window's
// client area. Frames are drawn behind the controls they surround; they do not contain them.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

class Control;

class ControlObserver {
public:
    // Called after the change is stored. Must not change the control it is told about.
    virtual void ControlChanged(Control& control, Change change) = 0;

protected:
    ~ControlObserver() = default;
};

class Control {
public:
    Control(ControlKind kind, std::string name, std::string caption, std::string tipText,
            Rect bounds);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; } // the system's name: "chkOnTop"

    const std::string& Caption() const { return caption_; } // exact window text, UTF-8
    void SetCaption(std::string caption);
    const std::string& TipText() const { return tipText_; } // tooltip; empty for none
    void SetTipText(std::string tipText);
    bool Enabled() const { return enabled_; } // for a Timer: running
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const Rect& Bounds() const { return bounds_; }
    void Move(int left, int top);

    // Mouse movement over the control: the buttons held (left 1, right 2, middle 4), the keys held
    // (SHIFT 1, CTRL 2, ALT 4) and the position in twips inside the control. A disabled control
    // raises none, as on Windows.
    using MouseMoveHandler = std::function<void(int button, int shift, int x, int y)>;
    void OnMouseMove(MouseMoveHandler handler) { onMouseMove_ = std::move(handler); }
    void MouseMove(int button, int shift, int x, int y);

    // One observer (the window's view); nullptr detaches it. Setting a property to the value it
    // already has notifies nobody.
    void SetObserver(ControlObserver* observer) { observer_ = observer; }

protected:
    void Notify(Change change);

private:
    ControlKind kind_;
    std::string name_;
    std::string caption_;
    std::string tipText_;
    bool enabled_ = true;
    bool visible_ = true;
    Rect bounds_;
    ControlObserver* observer_ = nullptr;
    MouseMoveHandler onMouseMove_;
};

} // namespace tidewell::ui
