// The few things the drawing generator says to and asks of its user: lines
// printed in the window, messages that must be seen, and modal input boxes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sheet_render.h"

namespace telvaro {

class Dialogue {
public:
    virtual ~Dialogue() = default;

    // A line of text in the window.
    virtual void print(const std::string& line) = 0;

    // A message the user has to see (an error or a rejected answer): shown in
    // the window and written to the console.
    virtual void alert(const std::string& message) = 0;

    // A modal input box with prompt, title and default text. Returns the text
    // entered, or nothing when the user cancelled or closed the window.
    virtual std::optional<std::string> ask(const std::string& prompt, const std::string& title,
                                           const std::string& default_text) = 0;

    // Shows the finished drawing with the names of the files written, until
    // the user closes it. `render` draws the page into an image of the size
    // asked. A dialogue without a window shows nothing: the run has printed
    // the names already.
    virtual void show_drawing(const std::function<Image(int width, int height)>& render,
                              const std::vector<std::string>& files) {
        (void)render;
        (void)files;
    }
};

}  // namespace telvaro
