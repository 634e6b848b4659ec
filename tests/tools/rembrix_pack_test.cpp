// The rembrix-pack program, run as its users run it.
#include "package/package_format.h"
#include "tests/package/memory_streams.h"
#include "tests/package/sample_product.h"
#include "tests/support/test_machine.h"
#include "tests/tools/pack_runner.h"
#include "tools/lzhuf_encoder.h"
#include "tools/pack_build.h"
#include "tools/pack_common.h"
#include "tools/pack_listing.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace fs = std::filesystem;

namespace {

class RembrixPackTest : public testing::Test {
  protected:
    RembrixPackTest() : Folder(MakeTemporaryFolder("pack")) {
        std::vector<uint8_t> setup = {'M', 'Z'};
        setup.resize(9000, 0x90);
        WriteBytes(Folder / "SETUP.EXE", setup);
    }
    ~RembrixPackTest() override {
        std::error_code ignored;
        fs::remove_all(Folder, ignored);
    }

    // Writes the sample product at `scale` into Folder/product; returns the
    // arguments MAIN FILE... in bundle order.
    std::vector<std::string> WriteProduct(double scale) {
        Product = MakeSampleProduct(scale, 3);
        std::vector<std::string> paths;
        for (const SampleFile& file : Product) {
            WriteBytes(Folder / "product" / file.Name, file.Bytes);
            paths.push_back((Folder / "product" / file.Name).string());
        }
        return paths;
    }

    PackRun Pack(std::vector<std::string> arguments) { return RunPack(arguments, Folder); }

    PackRun Build(const fs::path& out, std::vector<std::string> options,
                  const std::vector<std::string>& files) {
        std::vector<std::string> arguments = {"build", "--setup", (Folder / "SETUP.EXE").string(),
                                              "--out", out.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), files.begin(), files.end());
        return Pack(arguments);
    }

    std::vector<uint8_t> JoinedVolumes(const fs::path& out) {
        std::vector<uint8_t> stream;
        for (int volume = 1; volume <= MaxVolumeCount; ++volume) {
            const fs::path path = out / VolumeName("Rembrix.001", volume);
            if (fs::exists(path)) {
                const std::vector<uint8_t> bytes = ReadBytes(path);
                stream.insert(stream.end(), bytes.begin(), bytes.end());
            }
        }
        return stream;
    }

    fs::path Folder;
    std::vector<SampleFile> Product;
};

TEST_F(RembrixPackTest, BuildsIntoOneToFourVolumesThatListExtractAndVerify) {
    const std::vector<std::string> files = WriteProduct(0.08);
    const std::vector<uint8_t> bundle = JoinSampleBundle(Product);
    const std::vector<uint8_t> expectedStream = EncodeLzhuf(bundle.data(), bundle.size());
    for (int volumes = 1; volumes <= 4; ++volumes) {
        SCOPED_TRACE(std::to_string(volumes) + " volumes");
        const fs::path out = Folder / ("out" + std::to_string(volumes));
        const PackRun build = Build(out, {"--volumes", std::to_string(volumes)}, files);
        ASSERT_EQ(build.ExitCode, 0) << build.Err;

        EXPECT_TRUE(fs::exists(out / VolumeName("Rembrix.001", volumes)));
        EXPECT_FALSE(fs::exists(out / VolumeName("Rembrix.001", volumes + 1)));
        EXPECT_TRUE(JoinedVolumes(out) == expectedStream);

        // The setup file is the setup program with the table appended.
        const std::vector<uint8_t> setup = ReadBytes(out / "SETUP.EXE");
        ASSERT_EQ(setup.size(), 9000u + 28 * 12 + 5);
        EXPECT_TRUE(std::equal(setup.begin(), setup.begin() + 9000,
                               ReadBytes(Folder / "SETUP.EXE").begin()));
        const ParsedTrailer trailer = ReadTrailerOf(out / "SETUP.EXE");
        EXPECT_EQ(trailer.UnpackedSize, static_cast<int32_t>(bundle.size()));
        int32_t offset = static_cast<int32_t>(Product[0].Bytes.size());
        ASSERT_EQ(trailer.Entries.size(), 12u);
        for (size_t index = 0; index < 12; ++index) {
            EXPECT_EQ(trailer.Entries[index].Name, Product[index + 1].Name);
            EXPECT_EQ(trailer.Entries[index].Offset, offset);
            EXPECT_EQ(trailer.Entries[index].Size,
                      static_cast<int32_t>(Product[index + 1].Bytes.size()));
            offset += trailer.Entries[index].Size;
        }

        const PackRun list = Pack({"list", (out / "SETUP.EXE").string()});
        EXPECT_EQ(list.ExitCode, 0) << list.Err;
        EXPECT_NE(list.Out.find("Tutorial.hlp"), std::string::npos);
        EXPECT_NE(list.Out.find(GroupDigits(bundle.size())), std::string::npos) << list.Out;

        const PackRun verify = Pack(
            {"extract", "--verify", (out / "SETUP.EXE").string(), (Folder / "product").string()});
        EXPECT_EQ(verify.ExitCode, 0) << verify.Out << verify.Err;
    }

    const PackRun extract = Pack(
        {"extract", (Folder / "out2" / "SETUP.EXE").string(), (Folder / "extracted").string()});
    ASSERT_EQ(extract.ExitCode, 0) << extract.Err;
    for (const SampleFile& file : Product) {
        EXPECT_TRUE(ReadBytes(Folder / "extracted" / file.Name) == file.Bytes) << file.Name;
    }
    EXPECT_EQ(FilesBelow(Folder / "extracted").size(), Product.size());
}

TEST_F(RembrixPackTest, VolumeSizesCutTheStreamAtAnyByte) {
    const std::vector<std::string> files = WriteProduct(0.05);
    const std::vector<uint8_t> bundle = JoinSampleBundle(Product);
    const uint64_t streamSize = EncodeLzhuf(bundle.data(), bundle.size()).size();
    struct Case {
        std::vector<std::string> options;
        size_t expectedVolumes;
    };
    const Case cases[] = {
        {{"--volume-size", std::to_string(streamSize)}, 1},
        {{"--volume-size", std::to_string(streamSize - 1)}, 2},
        {{"--volume-size", std::to_string(streamSize / 3 + 7)}, 3},
        {{"--volume-size", std::to_string((streamSize + 3) / 4)}, 4},
        {{"--volumes", "3", "--volume-size", std::to_string(streamSize / 2)}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.back());
        const fs::path out = Folder / "out";
        fs::remove_all(out);
        const PackRun build = Build(out, c.options, files);
        ASSERT_EQ(build.ExitCode, 0) << build.Err;
        const uint64_t limit = std::stoull(c.options.back());
        size_t volumes = 0;
        uint64_t total = 0;
        for (int volume = 1; volume <= 4; ++volume) {
            const fs::path path = out / VolumeName("Rembrix.001", volume);
            if (fs::exists(path)) {
                ++volumes;
                EXPECT_LE(fs::file_size(path), limit);
                total += fs::file_size(path);
            }
        }
        EXPECT_EQ(volumes, c.expectedVolumes);
        EXPECT_EQ(total, streamSize);
        const PackRun verify = Pack(
            {"extract", "--verify", (out / "SETUP.EXE").string(), (Folder / "product").string()});
        EXPECT_EQ(verify.ExitCode, 0) << verify.Out << verify.Err;
    }
}

TEST(PlanVolumeSizes, SlicesByCountOrBySize) {
    struct Case {
        uint64_t stream;
        int count;
        uint64_t maxSize;
        std::vector<uint64_t> expected;
    };
    const Case cases[] = {
        {10, 0, 0, {5, 5}}, // the setup program's own count, 2
        {10, 3, 0, {3, 3, 4}}, {10, 0, 4, {4, 4, 2}},   {10, 0, 10, {10}},
        {0, 0, 1457664, {0}},  {2, 4, 0, {0, 1, 0, 1}}, {10, 3, 4, {3, 3, 4}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlanVolumeSizes(c.stream, c.count, c.maxSize, 2), c.expected)
            << c.stream << " " << c.count << " " << c.maxSize;
    }
    EXPECT_THROW(PlanVolumeSizes(17, 0, 4, 2), PackError) << "5 volumes";
    EXPECT_THROW(PlanVolumeSizes(13, 3, 4, 2), PackError) << "3 volumes of 4 hold 12";
    EXPECT_THROW(PlanVolumeSizes(10, 5, 0, 2), PackError);
}

TEST_F(RembrixPackTest, RefusalsWriteNothing) {
    const fs::path in = Folder / "in";
    std::mt19937 random(8);
    // Random bytes: they hardly compress, so tiny volume sizes cannot hold them.
    WriteBytes(in / "Main.exe",
               JoinSampleBundle({{"", sample_detail::MakeExecutable(random, 5000)}}));
    std::vector<uint8_t> noise(3000);
    for (uint8_t& byte : noise) {
        byte = static_cast<uint8_t>(random());
    }
    WriteBytes(in / "Good.dll", noise);
    WriteBytes(in / "Twenty_characters.dl", {1});
    WriteBytes(in / "trailing.", {1});
    WriteBytes(in / "a:b.dll", {1});
    WriteBytes(in / "other" / "GOOD.DLL", {3});
    WriteBytes(in / "Rembrix.exe", {4});
    WriteBytes(in / "REMBRIX._zv", {5});
    fs::create_directories(in / "Folder.dll");
    std::vector<std::string> manyFiles;
    for (int index = 0; index < 256; ++index) {
        WriteBytes(in / "many" / ("F" + std::to_string(index)), {static_cast<uint8_t>(index)});
        manyFiles.push_back((in / "many" / ("F" + std::to_string(index))).string());
    }
    // Sparse: 2 GiB less the main program's 5,000 bytes, so the bundle is exactly 2 GiB.
    { std::ofstream huge(in / "Huge.dat", std::ios::binary); }
    fs::resize_file(in / "Huge.dat", (uint64_t{1} << 31) - 5000);

    const std::string main = (in / "Main.exe").string();
    const std::string good = (in / "Good.dll").string();
    struct Case {
        const char* what;
        std::vector<std::string> options;
        std::vector<std::string> files;
        int exitCode;
        const char* reason;
    };
    std::vector<std::string> tooMany = {main};
    tooMany.insert(tooMany.end(), manyFiles.begin(), manyFiles.end());
    const Case cases[] = {
        {"missing main program", {}, {(in / "None.exe").string(), good}, 1, "does not exist"},
        {"missing file", {}, {main, (in / "None.dll").string()}, 1, "does not exist"},
        {"a folder as file", {}, {main, (in / "Folder.dll").string()}, 1, "not a regular file"},
        {"20-character name",
         {},
         {main, (in / "Twenty_characters.dl").string()},
         1,
         "longer than 19"},
        {"name with a colon", {}, {main, (in / "a:b.dll").string()}, 1, "not a plain file name"},
        {"name ending in a dot",
         {},
         {main, (in / "trailing.").string()},
         1,
         "not a plain file name"},
        {"the same name twice",
         {},
         {main, good, (in / "other" / "GOOD.DLL").string()},
         1,
         "two files"},
        {"the main program's name", {}, {main, (in / "Rembrix.exe").string()}, 1, "main program"},
        {"the archive's name", {}, {main, (in / "REMBRIX._zv").string()}, 1, "archive"},
        {"no file besides main", {}, {main}, 1, "no FILE"},
        {"256 files", {}, tooMany, 1, "at most 255"},
        {"a bundle of 2 GiB", {}, {main, (in / "Huge.dat").string()}, 1, "2 GiB"},
        {"5 volumes", {"--volumes", "5"}, {main, good}, 2, "1 to 4"},
        {"volume size 0", {"--volume-size", "0"}, {main, good}, 2, "at least 1"},
        {"more than 4 volumes of a size", {"--volume-size", "10"}, {main, good}, 1, "at most 4"},
        {"a count the size cannot hold",
         {"--volumes", "2", "--volume-size", "10"},
         {main, good},
         1,
         "cannot hold"},
    };
    const fs::path out = Folder / "refused";
    for (const Case& c : cases) {
        const PackRun run = Build(out, c.options, c.files);
        EXPECT_EQ(run.ExitCode, c.exitCode) << c.what << ": " << run.Err;
        EXPECT_NE(run.Err.find(c.reason), std::string::npos) << c.what << ": " << run.Err;
        EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << c.what << ": one line";
        EXPECT_FALSE(fs::exists(out)) << c.what << ": something was written";
    }

    // Over an earlier package, a refusal leaves that package as it was.
    ASSERT_EQ(Build(out, {}, {main, good}).ExitCode, 0);
    const std::vector<std::string> before = FilesBelow(out);
    const std::vector<uint8_t> volumeBefore = ReadBytes(out / "Rembrix.001");
    EXPECT_EQ(Build(out, {"--volume-size", "10"}, {main, good}).ExitCode, 1);
    EXPECT_EQ(FilesBelow(out), before);
    EXPECT_TRUE(ReadBytes(out / "Rembrix.001") == volumeBefore);

    const PackRun intoItself = Pack({"build", "--setup", (Folder / "SETUP.EXE").string(), "--out",
                                     Folder.string(), main, good});
    EXPECT_EQ(intoItself.ExitCode, 1);
    EXPECT_NE(intoItself.Err.find("would replace an input"), std::string::npos) << intoItself.Err;
}

TEST_F(RembrixPackTest, DamagedPackagesAreReportedNotTrusted) {
    const std::vector<std::string> files = WriteProduct(0.03);
    const fs::path good = Folder / "good";
    ASSERT_EQ(Build(good, {"--volumes", "2"}, files).ExitCode, 0);
    const fs::path product = Folder / "product";

    struct Case {
        const char* what;
        std::function<void(const fs::path&)> damage;
        const char* reason;
    };
    const Case cases[] = {
        {"second volume missing", [](const fs::path& out) { fs::remove(out / "Rembrix.002"); },
         "end before"},
        {"second volume cut short",
         [](const fs::path& out) {
             fs::resize_file(out / "Rembrix.002", fs::file_size(out / "Rembrix.002") - 10);
         },
         "end before"},
        {"a stale third volume",
         [](const fs::path& out) {
             WriteBytes(out / "Rembrix.003", {1, 2, 3});
         },
         "more than"},
        {"no first volume", [](const fs::path& out) { fs::remove(out / "Rembrix.001"); },
         "first volume"},
        {"entry count raised",
         [](const fs::path& out) {
             std::vector<uint8_t> setup = ReadBytes(out / "SETUP.EXE");
             setup[setup.size() - 5] = 13;
             WriteBytes(out / "SETUP.EXE", setup);
         },
         "damaged trailer"},
        {"setup file cut into its trailer",
         [](const fs::path& out) { fs::resize_file(out / "SETUP.EXE", 200); }, "damaged trailer"},
    };
    for (const Case& c : cases) {
        const fs::path out = Folder / "damaged";
        fs::remove_all(out);
        fs::copy(good, out);
        c.damage(out);
        const PackRun run =
            Pack({"extract", (out / "SETUP.EXE").string(), (Folder / "x").string()});
        EXPECT_EQ(run.ExitCode, 1) << c.what;
        EXPECT_NE(run.Err.find(c.reason), std::string::npos) << c.what << ": " << run.Err;
        EXPECT_FALSE(fs::exists(Folder / "x")) << c.what << ": files were written";
    }

    // A flipped byte decodes to other bytes, which verification finds.
    const fs::path flipped = Folder / "flipped";
    fs::copy(good, flipped);
    std::vector<uint8_t> volume = ReadBytes(flipped / "Rembrix.001");
    volume[volume.size() / 2] ^= 0x10;
    WriteBytes(flipped / "Rembrix.001", volume);
    const PackRun verify =
        Pack({"extract", "--verify", (flipped / "SETUP.EXE").string(), product.string()});
    EXPECT_EQ(verify.ExitCode, 1);
    EXPECT_FALSE(verify.Err.empty());

    // A file changed after packing is named by verification.
    std::vector<uint8_t> help = ReadBytes(product / "Rembrix.hlp");
    help[100] ^= 1;
    WriteBytes(product / "Rembrix.hlp", help);
    const PackRun changed =
        Pack({"extract", "--verify", (good / "SETUP.EXE").string(), product.string()});
    EXPECT_EQ(changed.ExitCode, 1);
    EXPECT_NE(changed.Out.find("\"Rembrix.hlp\": differs from byte 100"), std::string::npos)
        << changed.Out;
    EXPECT_NE(changed.Err.find("1 of 13 files differ"), std::string::npos) << changed.Err;

    // list shows no table from a file that is no package.
    const PackRun list = Pack({"list", (Folder / "SETUP.EXE").string()});
    EXPECT_EQ(list.ExitCode, 1);
    EXPECT_EQ(list.Out.find("index"), std::string::npos) << list.Out;
    EXPECT_NE(list.Err.find("damaged trailer"), std::string::npos);
}

TEST_F(RembrixPackTest, EmptyFilesAndAnEmptyBundle) {
    WriteBytes(Folder / "in" / "Main.exe", {});
    WriteBytes(Folder / "in" / "Empty.txt", {});
    const fs::path out = Folder / "out";
    const PackRun build =
        Build(out, {"--volumes", "2"},
              {(Folder / "in" / "Main.exe").string(), (Folder / "in" / "Empty.txt").string()});
    ASSERT_EQ(build.ExitCode, 0) << build.Err;
    EXPECT_EQ(fs::file_size(out / "Rembrix.001"), 0u);
    EXPECT_EQ(fs::file_size(out / "Rembrix.002"), 0u);
    const PackRun extract =
        Pack({"extract", (out / "SETUP.EXE").string(), (Folder / "x").string()});
    ASSERT_EQ(extract.ExitCode, 0) << extract.Err;
    EXPECT_EQ(fs::file_size(Folder / "x" / "Rembrix.Exe"), 0u);
    EXPECT_EQ(fs::file_size(Folder / "x" / "Empty.txt"), 0u);
}

TEST_F(RembrixPackTest, LargePackagesShowProgressAndRebuildsDropStaleVolumes) {
    const std::vector<std::string> files = WriteProduct(1.4);
    const fs::path out = Folder / "out";
    const PackRun four = Build(out, {"--volumes", "4"}, files);
    ASSERT_EQ(four.ExitCode, 0) << four.Err;
    EXPECT_NE(four.Err.find("compressing 100%"), std::string::npos) << four.Err;

    const PackRun two = Build(out, {"--volumes", "2"}, files);
    ASSERT_EQ(two.ExitCode, 0) << two.Err;
    EXPECT_FALSE(fs::exists(out / "Rembrix.003"));
    EXPECT_FALSE(fs::exists(out / "Rembrix.004"));
    EXPECT_NE(two.Out.find("removed Rembrix.003"), std::string::npos) << two.Out;

    const PackRun verify =
        Pack({"extract", "--verify", (out / "SETUP.EXE").string(), (Folder / "product").string()});
    EXPECT_EQ(verify.ExitCode, 0) << verify.Err;
    EXPECT_NE(verify.Err.find("decoding 100%"), std::string::npos) << verify.Err;
}

TEST_F(RembrixPackTest, HelpAndUsage) {
    for (const char* command : {"build", "list", "extract"}) {
        const PackRun help = Pack({command, "--help"});
        EXPECT_EQ(help.ExitCode, 0) << command;
        EXPECT_EQ(help.Out.rfind(std::string("usage: rembrix-pack ") + command, 0), 0u) << help.Out;
    }
    EXPECT_EQ(Pack({"--help"}).ExitCode, 0);
    EXPECT_EQ(Pack({}).ExitCode, 2);
    EXPECT_EQ(Pack({"pack"}).ExitCode, 2);
    const PackRun noSetup = Pack({"build", "--out", Folder.string(), "a", "b"});
    EXPECT_EQ(noSetup.ExitCode, 2);
    EXPECT_NE(noSetup.Err.find("--setup"), std::string::npos);
    EXPECT_EQ(Pack({"list"}).ExitCode, 2);
    EXPECT_EQ(Pack({"extract", "only-one"}).ExitCode, 2);
}

} // namespace
