#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

namespace korvanti::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() : previous_(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "korvanti-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

static std::string shell_quote(const std::string& s) {
    std::string q = "'";
    for (char ch : s) {
        if (ch == '\'')
            q += "'\\''";
        else
            q += ch;
    }
    return q + "'";
}

ProgramRun run_program(const std::string& exe, const fs::path& dir, const std::string& input) {
    fs::path input_file = dir / ".stdin-for-test";
    write_file(input_file, input);
    std::string command = "cd " + shell_quote(dir.string()) + " && " + shell_quote(exe) + " < " +
                          shell_quote(input_file.string()) + " 2>&1";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("popen failed");
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        run.output.append(buffer.data(), n);
    int status = pclose(pipe);
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    fs::remove(input_file);
    return run;
}

namespace {

// The folder of the program copies, made at the first copy.
class CopiesFolder {
public:
    const fs::path& path() {
        if (path_.empty()) {
            std::string pattern = (fs::temp_directory_path() / "korvanti-programs-XXXXXX").string();
            if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
            path_ = pattern;
        }
        return path_;
    }
    ~CopiesFolder() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }

private:
    fs::path path_;
};

}  // namespace

std::string program_without_installed_data(const std::string& exe) {
    static CopiesFolder folder;
    const fs::path copy = folder.path() / "bin" / fs::path(exe).filename();
    if (!fs::exists(copy)) {
        fs::create_directories(copy.parent_path());
        fs::copy_file(exe, copy);
    }
    return copy.string();
}

std::string read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> read_lines(const fs::path& file) {
    std::istringstream in(read_file(file));
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

void write_file(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

fs::path source_path(const std::string& relative) {
    return fs::path(KORVANTI_SOURCE_DIR) / relative;
}

void prepare_run(const fs::path& dir, const std::string& example) {
    fs::copy_file(source_path("data/WAGBPROP.DAT"), dir / "WAGBPROP.DAT",
                  fs::copy_options::overwrite_existing);
    fs::copy_file(source_path("examples/" + example), dir / "Korvanti.TSK",
                  fs::copy_options::overwrite_existing);
}

std::vector<double> solve_dense(std::vector<std::vector<double>> a, std::vector<double> b) {
    const int n = static_cast<int>(b.size());
    for (int k = 0; k < n; ++k) {
        int p = k;
        for (int i = k + 1; i < n; ++i)
            if (std::fabs(a[i][k]) > std::fabs(a[p][k])) p = i;
        std::swap(a[k], a[p]);
        std::swap(b[k], b[p]);
        for (int i = k + 1; i < n; ++i) {
            const double f = a[i][k] / a[k][k];
            for (int j = k; j < n; ++j) a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    std::vector<double> x(n);
    for (int i = n - 1; i >= 0; --i) {
        double s = b[i];
        for (int j = i + 1; j < n; ++j) s -= a[i][j] * x[j];
        x[i] = s / a[i][i];
    }
    return x;
}

double reference_spline(const std::vector<double>& x, const std::vector<double>& y, double at,
                        const SplineEnds& ends) {
    const int n = static_cast<int>(x.size());
    std::vector<double> h(n - 1);
    for (int i = 0; i < n - 1; ++i) h[i] = x[i + 1] - x[i];
    std::vector<std::vector<double>> a(n, std::vector<double>(n, 0.0));
    std::vector<double> r(n, 0.0);
    ends(h, a, r);
    for (int i = 1; i < n - 1; ++i) {
        a[i][i - 1] = h[i - 1];
        a[i][i] = 2 * (h[i - 1] + h[i]);
        a[i][i + 1] = h[i];
        r[i] = 6 * ((y[i + 1] - y[i]) / h[i] - (y[i] - y[i - 1]) / h[i - 1]);
    }
    const std::vector<double> m = solve_dense(a, r);
    int i = 0;
    while (i < n - 2 && at >= x[i + 1]) ++i;
    const double l = x[i + 1] - at, q = at - x[i];
    return m[i] * l * l * l / (6 * h[i]) + m[i + 1] * q * q * q / (6 * h[i]) +
           (y[i] / h[i] - m[i] * h[i] / 6) * l + (y[i + 1] / h[i] - m[i + 1] * h[i] / 6) * q;
}

std::set<std::string> names_in(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

}  // namespace korvanti::testing
