// The benchmark driver: brevanto_bench --data <folder> --out <folder> [--rounds n] [figure...]
// prints one line per figure (all figures without names). "--child <figure> ..." is one run
// of ours, started by the driver itself.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "IntakeFigure.h"
#include "ListFigure.h"
#include "Measure.h"
#include "SaneFigure.h"
#include "SaveFigure.h"

using namespace brevanto::bench;

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() >= 3 && args[0] == "--child") {
            if (args[1] == "intake") return runIntakeChild(args[2]);
            if (args[1] == "save50" && args.size() == 4) return runSaveChild(args[2], args[3]);
            if (args[1] == "sane-a4") return runSaneChild(args[2]);
            if (args[1] == "list100k" && args.size() == 5)
                return runListChild(args[2], args[3], args[4]);
            std::fprintf(stderr, "unknown child run\n");
            return 2;
        }
        const std::map<std::string, std::function<void(const BenchSettings&)>> figures{
            {"save50", runSaveFigure},
            {"intake", runIntakeFigure},
            {"list100k", runListFigure},
            {"sane-a4", runSaneFigure}};
        BenchSettings settings;
        std::vector<std::string> wanted;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (args[i] == "--data" && i + 1 < args.size()) {
                settings.dataFolder = args[++i];
            } else if (args[i] == "--out" && i + 1 < args.size()) {
                settings.outFolder = args[++i];
            } else if (args[i] == "--rounds" && i + 1 < args.size()) {
                settings.rounds = std::atoi(args[++i].c_str());
            } else if (figures.count(args[i]) != 0) {
                wanted.push_back(args[i]);
            } else {
                std::fprintf(
                    stderr,
                    "unknown figure or option: %s (figures: save50 intake list100k sane-a4)\n",
                    args[i].c_str());
                return 2;
            }
        }
        if (settings.dataFolder.empty() || settings.outFolder.empty() || settings.rounds < 1) {
            std::fprintf(stderr,
                         "usage: brevanto_bench --data DIR --out DIR [--rounds N] "
                         "[figure...]\n");
            return 2;
        }
        if (wanted.empty()) wanted = {"save50", "intake", "list100k", "sane-a4"};
        for (const std::string& figure : wanted) figures.at(figure)(settings);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brevanto_bench: %s\n", e.what());
        return 1;
    }
}
