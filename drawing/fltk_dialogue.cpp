#include "fltk_dialogue.h"

#include <X11/Xlib.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <iostream>

namespace telvaro {

namespace {

// X class of the modal boxes, so that window managers (and the tests) can tell
// them from the main window.
const char* const kBoxClass = "TelvaroSoru";

// A modal box with a message or a prompt, an optional input field and its
// buttons; `accepted` is set when the user confirms with the OK button or Enter.
struct ModalBox {
    Fl_Double_Window window;
    Fl_Box text;
    Fl_Input* input = nullptr;
    Fl_Return_Button ok;
    Fl_Button* cancel = nullptr;
    bool accepted = false;

    ModalBox(const std::string& title, const std::string& message, bool with_input)
        : window(460, 150),
          text(10, 10, 440, with_input ? 50 : 90),
          ok(with_input ? 250 : 350, 110, 100, 30, "Tamam") {
        window.copy_label(title.c_str());
        window.xclass(kBoxClass);
        text.copy_label(message.c_str());
        text.align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
        if (with_input) {
            input = new Fl_Input(10, 65, 440, 30);
            cancel = new Fl_Button(360, 110, 90, 30, "Vazgec");
            cancel->callback(on_cancel, this);
        }
        ok.callback(on_ok, this);
        window.callback(on_cancel, this);
        window.end();
        window.set_modal();
    }
    ModalBox(const ModalBox&) = delete;
    ModalBox& operator=(const ModalBox&) = delete;

    // Shows the box below `owner`, leaving the printed lines in view, and
    // waits until it is closed one way or the other.
    void run(const Fl_Window& owner) {
        window.position(owner.x(), owner.y() + owner.h() + 40);
        window.show();
        if (input != nullptr) {
            input->take_focus();
            input->position(input->size(), 0);  // the whole default text selected
        }
        while (window.shown()) Fl::wait();
    }

    static void on_ok(Fl_Widget*, void* box) {
        static_cast<ModalBox*>(box)->accepted = true;
        static_cast<ModalBox*>(box)->window.hide();
    }
    static void on_cancel(Fl_Widget*, void* box) { static_cast<ModalBox*>(box)->window.hide(); }
};

// X class of the window that shows the finished drawing.
const char* const kPreviewClass = "TelvaroCizim";

// The page of the drawing as an image, drawn as it is.
class PagePreview : public Fl_Widget {
public:
    PagePreview(int x, int y, Image image)
        : Fl_Widget(x, y, image.width, image.height), image_(std::move(image)) {}
    void draw() override {
        if (image_.rgb.empty()) return;
        fl_draw_image(image_.rgb.data(), x(), y(), image_.width, image_.height, 3);
    }

private:
    Image image_;
};

}  // namespace

std::unique_ptr<FltkDialogue> FltkDialogue::open() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    fl_open_display(display);
    return std::unique_ptr<FltkDialogue>(new FltkDialogue());
}

FltkDialogue::FltkDialogue() : window_(new Fl_Double_Window(480, 240, "Cizim Secenegi")) {
    lines_ = new Fl_Browser(10, 10, 460, 220);
    lines_->format_char(0);
    lines_->textfont(FL_COURIER);
    window_->resizable(lines_);
    window_->end();
    window_->show();
    Fl::check();
}

FltkDialogue::~FltkDialogue() {
    window_->hide();
    delete window_;
    Fl::check();
}

void FltkDialogue::print(const std::string& line) {
    lines_->add(line.c_str());
    lines_->bottomline(lines_->size());
    Fl::check();
}

void FltkDialogue::alert(const std::string& message) {
    std::cerr << message << std::endl;
    print(message);
    ModalBox box("Cizim Secenegi", message, false);
    box.run(*window_);
}

std::optional<std::string> FltkDialogue::ask(const std::string& prompt, const std::string& title,
                                             const std::string& default_text) {
    if (!window_->shown()) return std::nullopt;
    ModalBox box(title, prompt, true);
    box.input->value(default_text.c_str());
    box.run(*window_);
    if (!box.accepted || !window_->shown()) return std::nullopt;
    return std::string(box.input->value());
}

void FltkDialogue::show_drawing(const std::function<Image(int width, int height)>& render,
                                const std::vector<std::string>& files) {
    if (!window_->shown()) return;
    constexpr int kImageWidth = 840, kImageHeight = 594;  // an A3 page at 2 pixels per mm
    constexpr int kLineHeight = 20;
    const int names_top = 10 + kImageHeight + 10;
    const int button_top = names_top + kLineHeight * static_cast<int>(files.size()) + 10;
    Fl_Double_Window preview(kImageWidth + 20, button_top + 40, "Cizim");
    preview.xclass(kPreviewClass);
    new PagePreview(10, 10, render(kImageWidth, kImageHeight));
    for (std::size_t i = 0; i < files.size(); ++i) {
        auto* name =
            new Fl_Box(10, names_top + kLineHeight * static_cast<int>(i), kImageWidth, kLineHeight);
        name->copy_label(files[i].c_str());
        name->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    }
    auto* close = new Fl_Return_Button(kImageWidth + 10 - 100, button_top, 100, 30, "Kapat");
    close->callback([](Fl_Widget*, void* window) { static_cast<Fl_Window*>(window)->hide(); },
                    &preview);
    preview.end();
    preview.show();
    while (preview.shown() && window_->shown()) Fl::wait();
}

}  // namespace telvaro

// The entry point of the window module: the drawing generator loads the
// window (and FLTK and X11 with it) only when there is a display to show it on.
extern "C" telvaro::Dialogue* telvaro_open_window() {
    return telvaro::FltkDialogue::open().release();
}
