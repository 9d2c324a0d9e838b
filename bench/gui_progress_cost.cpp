// SPDX-License-Identifier: GPL-3.0-or-later
// The cost of the window's progress display: the same Cut through TForm1 (offscreen, its bar
// and its event processing) and through ops::Cut with a null progress sink, alternately.
//
//   gui-progress-cost SOURCE [PAIRS]
//
// Prints the median time of each and the median ratio window/ops.
#include "app/form/tform1.h"

#include "ops/cut.h"
#include "ops/progress.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kParts = 4;

double seconds(const std::function<void()> &run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string partName(const std::string &source, int n)
{
    return source.substr(0, source.size() - 4) + std::to_string(n) + source.substr(source.size() - 4);
}

void removeParts(const std::string &source)
{
    for (int n = 1; n <= kParts; ++n)
        ::unlink(partName(source, n).c_str());
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: gui-progress-cost SOURCE [PAIRS]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const std::string source = argv[1];
    const int pairs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;

    app::TForm1 form;
    form.show();
    form.findChild<QLineEdit *>("Edit5")->setText(QString::fromStdString(source));
    form.findChild<QSpinBox *>("SpinEdit1")->setValue(kParts);
    auto *cutButton = form.findChild<QAbstractButton *>("Button2");

    ops::CutRequest request;
    request.source = source;
    request.mode.count = kParts;

    std::vector<double> window, plain, ratios;
    for (int i = 0; i < pairs; ++i) {
        const double w = seconds([&] { cutButton->click(); });
        removeParts(source);
        const double p = seconds([&] {
            ops::NullProgress none;
            ops::Cut(request, none);
        });
        removeParts(source);
        window.push_back(w);
        plain.push_back(p);
        ratios.push_back(w / p);
    }
    std::printf("%-44s %9.3f s %9.3f s %7.3f\n", "cut via TForm1 / ops, null sink", median(window), median(plain),
                median(ratios));
    return 0;
}
