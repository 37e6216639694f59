// Search over 10,000 pages (100 MB) beside `grep -ril` over the same folder; the index of a
// 10,000-node tree; exporting a 1,000-node subtree with 5,000 pictures beside `cp -r`.
#include "app/collection/CollectionTree.h"
#include "app/editor/CollectionExport.h"
#include "app/editor/CollectionSearch.h"
#include "bench/support/BenchFolder.h"
#include "platform/core/IniFile.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kPages = 10000;
constexpr std::size_t kPageBytes = 10 * 1024;  // 10,000 x 10 KiB = 100 MB
constexpr int kExportNodes = 1000;
constexpr int kPicturesPerPage = 5;
constexpr const char* kWord = "quillwort";  // in one page of a hundred

using ql::bench::MakeTempFolder;

void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

// Runs a command from an argument list with its output discarded; its exit status.
int Run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A collection of kPages pages of HTML-like text in 100 top-level nodes of 99 children, every
// hundredth page holding kWord near its end; 5 pictures per page for the first kExportNodes.
class Collection {
public:
    Collection() : dir(MakeTempFolder())
    {
        fs::create_directories(dir + "!images");
        images = std::make_unique<ql::IniFile>(dir + "images.ini", false);
        std::mt19937 random(42);
        static constexpr const char* kWords[] = {
            "<p>",  "the",  "collection", "of",      "clips", "</p>", "<a href=\"x\">",
            "page", "</a>", "Tree",       "picture", "<b>",   "</b>", "web"};
        ql::TreeNode* top = nullptr;
        for (int i = 0; i < kPages; ++i) {
            const std::string id = "page " + std::to_string(i);
            ql::TreeNode* node =
                (i % 100 == 0) ? (top = tree.AddNode(nullptr, ql::Attach::LastSibling, "Topic " + std::to_string(i)))
                               : tree.AddNode(top, ql::Attach::LastChild, "Clip " + std::to_string(i));
            tree.SetPageId(node, id);
            std::string page = "<!-- From: \"http://example.com/" + std::to_string(i) + "\" -->\r\n<html><body>\r\n";
            while (page.size() < kPageBytes - 40) {
                page += kWords[random() % std::size(kWords)];
                page += ' ';
            }
            if (i % 100 == 50)
                page += kWord;
            page += "</body></html>\r\n";
            WriteFile(dir + id + ".html", page);
            if (i < kExportNodes) {
                for (int p = 0; p < kPicturesPerPage; ++p) {
                    const std::string name = "pic" + std::to_string(i) + "_" + std::to_string(p) + ".png";
                    WriteFile(dir + "!images/" + name, std::string(8 * 1024, static_cast<char>('a' + p)));
                    images->WriteString(id, name, "http://example.com/" + name);
                }
            }
        }
        if (!images->UpdateFile())
            throw std::runtime_error("images.ini could not be written");
        // The same 1,000 pages and 5,000 pictures laid out as the export lays them out, for cp.
        copySource = MakeTempFolder();
        fs::create_directories(copySource + "!images");
        for (int i = 0; i < kExportNodes; ++i) {
            const std::string id = "page " + std::to_string(i);
            fs::copy_file(dir + id + ".html", copySource + id + ".html");
            for (int p = 0; p < kPicturesPerPage; ++p) {
                const std::string name = "pic" + std::to_string(i) + "_" + std::to_string(p) + ".png";
                fs::copy_file(dir + "!images/" + name, copySource + "!images/" + name);
            }
        }
    }
    ~Collection()
    {
        std::error_code ec;
        for (const std::string& out : outputs)
            fs::remove_all(out, ec);
        fs::remove_all(copySource, ec);
        fs::remove_all(dir, ec);
    }
    // A new folder for one run's copies. Each run writes into a folder of its own, and none is
    // removed before the program ends: the file system allocates files more slowly after many
    // were deleted, which would favour whichever of the export and cp ran first.
    std::string NewOutput() { return outputs.emplace_back(MakeTempFolder()); }

    std::string dir;
    std::string copySource;
    ql::CollectionTree tree;
    std::unique_ptr<ql::IniFile> images;
    std::vector<std::string> outputs;
};

Collection& Shared()
{
    static Collection collection;
    return collection;
}

void BM_SearchPages(benchmark::State& state)
{
    Collection& c = Shared();
    ql::PageFileScanner scanner;
    ql::CollectionSearch search(c.tree, c.dir, scanner);
    for (auto _ : state) {
        search.RunSearch(kWord);
        if (search.Rows().size() != kPages / 100)
            state.SkipWithError("wrong number of hits");
    }
}

void BM_GrepRil(benchmark::State& state)
{
    Collection& c = Shared();
    for (auto _ : state)
        Run({"grep", "-ril", kWord, c.dir});
}

void BM_WriteWholeTreeIndex(benchmark::State& state)
{
    Collection& c = Shared();
    ql::ExportPaths paths{c.dir, c.dir + "!images/", c.images.get()};
    for (auto _ : state) {
        ql::IndexPageWriter writer(paths, true);
        writer.AddTree(c.tree);
        if (!ql::WriteIndexPage(c.dir + "index - bench.html", writer.Finish()))
            state.SkipWithError("the index page could not be written");
    }
}

// The first ten top-level nodes: 1,000 nodes with 5,000 pictures.
void BM_ExportSubtree(benchmark::State& state)
{
    Collection& c = Shared();
    ql::ExportPaths paths{c.dir, c.dir + "!images/", c.images.get()};
    for (auto _ : state) {
        state.PauseTiming();
        const std::string out = c.NewOutput();
        state.ResumeTiming();
        ql::IndexPageWriter writer(paths, false, out);
        for (std::size_t t = 0; t < kExportNodes / 100; ++t)
            writer.AddIndexEntries(*c.tree.TopLevel(t));
        if (!ql::WriteIndexPage(out + "index.html", writer.Finish()))
            state.SkipWithError("the index page could not be written");
    }
}

// cp -r of the same 1,000 pages and 5,000 pictures.
void BM_CopySameFiles(benchmark::State& state)
{
    Collection& c = Shared();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string out = c.NewOutput();
        state.ResumeTiming();
        Run({"cp", "-r", c.copySource, out + "copy"});
    }
}

}  // namespace

BENCHMARK(BM_SearchPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepRil)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteWholeTreeIndex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportSubtree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CopySameFiles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_MAIN();
