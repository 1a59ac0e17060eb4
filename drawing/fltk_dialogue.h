// The dialogue in a small FLTK window with the caption "Cizim Secenegi".
#pragma once

#include <memory>

#include "dialogue.h"

class Fl_Double_Window;
class Fl_Browser;

namespace telvaro {

class FltkDialogue : public Dialogue {
public:
    // Opens the display and the window; nothing when no display can be
    // opened (no X server, as on a build machine or over a plain ssh login).
    static std::unique_ptr<FltkDialogue> open();
    ~FltkDialogue() override;
    FltkDialogue(const FltkDialogue&) = delete;
    FltkDialogue& operator=(const FltkDialogue&) = delete;

    void print(const std::string& line) override;
    // Shows the message in the window and on the console, and waits until the
    // user has acknowledged it.
    void alert(const std::string& message) override;
    std::optional<std::string> ask(const std::string& prompt, const std::string& title,
                                   const std::string& default_text) override;
    // A window with the drawing, the names of the files written and a button
    // "Kapat" that closes it (so does Enter).
    void show_drawing(const std::function<Image(int width, int height)>& render,
                      const std::vector<std::string>& files) override;

private:
    FltkDialogue();

    Fl_Double_Window* window_;
    Fl_Browser* lines_;
};

}  // namespace telvaro
