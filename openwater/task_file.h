// Korvanti.TSK as this program reads and writes it: the series (line 40),
// Z and Ae/A0 (line 43), the hand (line 47) and P/D and D (line 50), read
// list-directed as the calculator reads them; written whole in the layout of
// the shipped examples, with line 34 describing where it came from.
#pragma once

#include <stdexcept>
#include <string>

namespace korvanti::openwater {

inline constexpr const char* task_file_name = "Korvanti.TSK";

// A task file that cannot be used: the message names the file and its line.
class TaskFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TaskValues {
    int series = 1;  // 1 B, 2 Ka, 3 Kc, 4 KC101-Gawn, 5 Gawn, 6 Newton-Rader, 7 AU
    int blades = 0;
    double area_ratio = 0;
    double pitch_ratio = 0;
    double diameter = 0;
};

TaskValues parse_task_file(const std::string& text);

// The task file of a right-handed propeller with the report at the stations
// of the offsets file; `description` goes on line 34 (one line).
struct TaskText {
    int series = 1;
    int blades = 0;
    std::string area_ratio, pitch_ratio, diameter;  // as written
    std::string description;
};
std::string task_file_text(const TaskText& t);

}  // namespace korvanti::openwater
