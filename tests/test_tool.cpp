// End-to-end runs of tallomira-host on image files the tests write.
#include <ImfChannelList.h>
#include <ImfFrameBuffer.h>
#include <ImfHeader.h>
#include <ImfOutputFile.h>
#include <gtest/gtest.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(WORK_DIR) / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir);
        fs::create_directories(dir / "out");
    }

    ToolRun run(const std::string &args) {
        const std::string out = (dir / "stdout").string(), err = (dir / "stderr").string();
        const std::string command = std::string(TOOL) + " --out " + (dir / "out").string() + " " + args + " >" + out +
                                    " 2>" + err;
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(out), slurp(err)};
    }

    static std::string slurp(const std::string &path) {
        std::ifstream in(path);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string path(const char *name) const { return (dir / name).string(); }

    std::vector<std::string> outputs() const {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(dir / "out")) names.push_back(entry.path().filename().string());
        return names;
    }

    // One failing run: its status, a one-line message naming `needle`, and no output files.
    void expectFailure(const std::string &args, const std::string &needle) {
        ToolRun r = run(args);
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(needle), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_TRUE(outputs().empty());
    }

    fs::path dir;
};

void writeExr(const std::string &path, int w, int h, const std::vector<const char *> &names,
              const std::vector<std::vector<float>> &planes, Imf::PixelType type) {
    Imf::Header header(w, h);
    for (const char *name : names) header.channels().insert(name, Imf::Channel(type));
    std::vector<std::vector<half>> halves;
    Imf::FrameBuffer frame;
    for (size_t c = 0; c < names.size(); c++) {
        if (type == Imf::HALF) {
            halves.emplace_back(planes[c].begin(), planes[c].end());
            frame.insert(names[c], Imf::Slice(Imf::HALF, reinterpret_cast<char *>(halves.back().data()), sizeof(half),
                                              sizeof(half) * w));
        } else {
            frame.insert(names[c], Imf::Slice(Imf::FLOAT, const_cast<char *>(reinterpret_cast<const char *>(planes[c].data())),
                                              sizeof(float), sizeof(float) * w));
        }
    }
    Imf::OutputFile file(path.c_str(), header);
    file.setFrameBuffer(frame);
    file.writePixels(h);
}

std::string line(const std::string &out, const std::string &start) {
    size_t at = out.find("\n" + start);
    if (at == std::string::npos) return out.rfind(start, 0) == 0 ? out.substr(0, out.find('\n')) : "";
    return out.substr(at + 1, out.find('\n', at + 1) - at - 1);
}

struct Pixel {
    int r, g, b;
};

Pixel pixelOf(const std::string &png, int x, int y) {
    int w, h, n;
    unsigned char *data = stbi_load(png.c_str(), &w, &h, &n, 3);
    if (!data) return {-1, -1, -1};
    const unsigned char *p = &data[(y * w + x) * 3];
    Pixel px = {p[0], p[1], p[2]};
    stbi_image_free(data);
    return px;
}

// Whether a red-dominated pixel lies within one column of `x`.
bool redNear(const std::string &png, int x, int y) {
    for (int c = x - 1; c <= x + 1; c++) {
        const Pixel p = pixelOf(png, c, y);
        if (p.r > p.g + 20) return true;
    }
    return false;
}

}  // namespace

TEST_F(ToolTest, DefaultRunShowsTheBuiltInChart) {
    ToolRun r = run("");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "image:"), "image:   hdr-test-chart (item 1)");
    EXPECT_EQ(line(r.out, "High:"), "High: 2.000000");
    EXPECT_EQ(line(r.out, "Low:"), "Low:  0.000000");
    EXPECT_NE(line(r.out, "view:").find("view.png"), std::string::npos);
    EXPECT_EQ(pixelOf(path("out/view.png"), 319, 2).r, 153);  // the clear colour in the corner
    int w, h, n;
    ASSERT_TRUE(stbi_info(path("out/panel.png").c_str(), &w, &h, &n));
    EXPECT_GE(w, 325);
    EXPECT_GE(h, 200);
}

TEST_F(ToolTest, ExrRampFloatRgb) {
    std::vector<float> ramp(256 * 4);
    for (int i = 0; i < 256 * 4; i++) ramp[i] = (i % 256) / 255.0f;
    writeExr(path("ramp.exr"), 256, 4, {"R", "G", "B"}, {ramp, ramp, ramp}, Imf::FLOAT);
    ToolRun r = run(path("ramp.exr") + " --do 'choose 1' --do 'channel R' --do 'mouse move 266 50'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "image:"), "image:   ramp.exr (item 1)");
    EXPECT_EQ(line(r.out, "High:"), "High: 1.000000");
    EXPECT_EQ(line(r.out, "Low:"), "Low:  0.000000");
    EXPECT_EQ(line(r.out, "Pos:"), "Pos:  1.000000");
    EXPECT_EQ(line(r.out, "Val:"), "Val:  4.000000");  // the four pixels of value 1.0
    EXPECT_EQ(line(r.out, "channel:"), "channel: R");
    // Every bin 0..255 holds four samples, so the red bars stand at the same height: at
    // y = 0.6625 (row 27); the highlighted red shows well below that.
    const Pixel bar = pixelOf(path("out/view.png"), 100, 60);
    EXPECT_GT(bar.r, bar.g + 30) << bar.r << " " << bar.g;
    EXPECT_EQ(pixelOf(path("out/view.png"), 100, 10).r, 153);
}

TEST_F(ToolTest, ExrGreyHalf) {
    std::vector<float> grey(8 * 8, 0.5f);
    writeExr(path("grey.exr"), 8, 8, {"Y"}, {grey}, Imf::HALF);
    ToolRun r = run(path("grey.exr") + " --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"High\": \"0.500000\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"image\": \"grey.exr\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Quickhisto\": false"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"pixelReads\": 128"), std::string::npos) << r.out;
}

TEST_F(ToolTest, PngIsLinearAndHdrIsNormalised) {
    std::vector<unsigned char> png(4 * 4 * 3, 128);
    ASSERT_TRUE(stbi_write_png(path("half.png").c_str(), 4, 4, 3, png.data(), 12));
    std::vector<float> hdr(4 * 2 * 3, 2.0f);
    for (int i = 0; i < 12; i++) hdr[i] = 1.0f;  // the top row holds 1.0, the bottom 2.0
    ASSERT_TRUE(stbi_write_hdr(path("over.hdr").c_str(), 4, 2, 3, hdr.data()));
    ToolRun r = run(path("half.png") + " " + path("over.hdr") + " --do 'choose 1'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "High:"), "High: 0.501961");  // 128 / 255, no gamma
    r = run(path("half.png") + " " + path("over.hdr") + " --do 'choose 2' --do 'channel R'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "image:"), "image:   over.hdr (item 2)");
    EXPECT_EQ(line(r.out, "High:"), "High: 2.000000");
    EXPECT_EQ(line(r.out, "Low:"), "Low:  1.000000");
    // The peak 2.0 is normalised into bin 309 and 1.0 into bin 154: red bars at view columns
    // 5 + 154 and 5 + 309, and none where 1.0 would be without normalisation (bin 256).
    const std::string view = path("out/view.png");
    EXPECT_TRUE(redNear(view, 159, 60));
    EXPECT_TRUE(redNear(view, 314, 60));
    EXPECT_FALSE(redNear(view, 261, 60));
}

// A 16-bit RGB PNG of one value, written by hand (stb_image_write has no 16-bit PNG): zlib with
// one stored block, so only the checksums need computing.
void writePng16(const std::string &path, int w, int h, uint16_t value) {
    auto crc = [](const std::string &bytes) {
        uint32_t c = 0xFFFFFFFFu;
        for (unsigned char b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    auto be32 = [](uint32_t v) {
        return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
    };
    auto chunk = [&](const std::string &type, const std::string &data) {
        return be32(static_cast<uint32_t>(data.size())) + type + data + be32(crc(type + data));
    };
    std::string raw;
    for (int y = 0; y < h; y++) {
        raw += '\0';  // no filter
        for (int i = 0; i < w * 3; i++) raw += {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
    }
    uint32_t a = 1, b = 0;
    for (unsigned char ch : raw) a = (a + ch) % 65521, b = (b + a) % 65521;
    const uint16_t len = static_cast<uint16_t>(raw.size());
    std::string zlib = {'\x78', '\x01', '\x01', static_cast<char>(len & 0xFF), static_cast<char>(len >> 8),
                        static_cast<char>(~len & 0xFF), static_cast<char>((~len >> 8) & 0xFF)};
    zlib += raw + be32((b << 16) | a);
    std::string header = be32(w) + be32(h) + std::string{16, 2, 0, 0, 0};
    std::ofstream(path, std::ios::binary) << "\x89PNG\r\n\x1a\n" << chunk("IHDR", header) << chunk("IDAT", zlib)
                                          << chunk("IEND", "");
}

TEST_F(ToolTest, SixteenBitImagesAreLinearToo) {
    writePng16(path("half16.png"), 3, 2, 32768);
    ToolRun r = run(path("half16.png"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "High:"), "High: 0.500008");  // 32768 / 65535, no gamma
}

TEST_F(ToolTest, BadInputFailsWithOneLineAndNoOutput) {
    std::ofstream(path("notes.txt")) << "not an image\n";
    writeExr(path("depth.exr"), 2, 2, {"Z"}, {{1, 2, 3, 4}}, Imf::FLOAT);
    std::ofstream(path("bad.script")) << "choose 1\n# a comment\nhzoom sideways\n";
    std::ofstream(path("deep.ppm"), std::ios::binary) << "P6\n1 1\n65535\n" << std::string(6, '\x10');
    expectFailure(path("missing.png"), "cannot open");
    expectFailure(path("notes.txt"), "not an image this tool reads");
    expectFailure(path("depth.exr"), "no colour channels");
    expectFailure(path("deep.ppm"), "16-bit PNM files are not supported");
    expectFailure("--do 'choose 1' --do 'hzoom x'", "line 2: 'hzoom x'");
    expectFailure("--do 'paint me'", "'paint me'");
    expectFailure("--do 'dance'", "unknown action 'dance'");
    expectFailure("--script " + path("bad.script"), "bad.script: line 3: 'hzoom sideways'");
    expectFailure("--module " + path("notes.txt"), "cannot load");
}

TEST_F(ToolTest, UnwritableOutputLeavesNothingBehind) {
    fs::remove_all(dir / "out");
    std::ofstream((dir / "out").string()) << "a file, not a folder\n";
    ToolRun r = run("");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out" / "view.png"));
}
