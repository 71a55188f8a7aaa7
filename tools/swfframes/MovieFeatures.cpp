#include "tools/swfframes/MovieFeatures.h"

#include <array>
#include <fstream>
#include <iterator>

namespace {

enum TagCode : uint16_t {
    kEnd = 0,
    kDefineButton = 7,
    kDoAction = 12,
    kDefineSound = 14,
    kStartSound = 15,
    kDefineButtonSound = 17,
    kSoundStreamHead = 18,
    kSoundStreamBlock = 19,
    kPlaceObject2 = 26,
    kDefineButton2 = 34,
    kDefineSprite = 39,
    kSoundStreamHead2 = 45,
    kDoInitAction = 59,
    kDefineVideoStream = 60,
    kVideoFrame = 61,
    kPlaceObject3 = 70,
    kDoAbc = 72,
    kDoAbc2 = 82,
    kStartSound2 = 89,
};

// Reads bytes and bit fields inside [begin, end).  Reading past the end sets Failed()
// and gives zeros, so a damaged tag never leads outside the image.
class Scanner {
public:
    Scanner(const uint8_t* begin, const uint8_t* end) : at_(begin), end_(end) {}

    bool Failed() const { return failed_; }
    bool AtEnd() const { return at_ >= end_; }
    const uint8_t* At() const { return at_; }

    uint32_t Byte() {
        bits_ = 0;
        if (at_ >= end_) return Fail();
        return *at_++;
    }
    uint32_t U16() { return Byte() | Byte() << 8; }
    uint32_t U32() { return U16() | U16() << 16; }
    void Skip(size_t count) {
        bits_ = 0;
        if (size_t(end_ - at_) < count) {
            Fail();
            return;
        }
        at_ += count;
    }
    uint32_t Bits(int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            if (bits_ == 0) {
                held_ = Byte();
                bits_ = 8;
            }
            value = value << 1 | ((held_ >> --bits_) & 1);
        }
        return value;
    }
    void SkipMatrix() {
        bits_ = 0;
        if (Bits(1)) Bits(2 * int(Bits(5)));
        if (Bits(1)) Bits(2 * int(Bits(5)));
        Bits(2 * int(Bits(5)));
    }
    void SkipCxformWithAlpha() {
        bits_ = 0;
        const int terms = int(Bits(1)) + int(Bits(1));
        Bits(4 * terms * int(Bits(4)));
    }

private:
    uint32_t Fail() {
        failed_ = true;
        at_ = end_;
        return 0;
    }

    const uint8_t* at_;
    const uint8_t* end_;
    uint32_t held_ = 0;
    int bits_ = 0;
    bool failed_ = false;
};

// Skips a filter list.
void SkipFilters(Scanner& in) {
    const uint32_t count = in.Byte();
    // Fixed sizes of drop shadow, blur, glow, bevel; the others depend on their fields.
    constexpr std::array<size_t, 4> kFixed = {23, 9, 15, 27};
    constexpr size_t kColorMatrix = 80;
    for (uint32_t i = 0; i < count && !in.Failed(); ++i) {
        const uint32_t id = in.Byte();
        if (id < kFixed.size()) {
            in.Skip(kFixed[id]);
        } else if (id == 4 || id == 7) { // gradient glow, gradient bevel
            in.Skip(5 * in.Byte() + 19);
        } else if (id == 5) { // convolution
            const uint32_t columns = in.Byte(), rows = in.Byte();
            in.Skip(8 + 4 * size_t(columns) * rows + 5);
        } else if (id == 6) {
            in.Skip(kColorMatrix);
        } else {
            break; // unknown filter: its size is unknown too
        }
    }
}

void ReadPlaceObject(Scanner& in, MovieFeatures& features) {
    if (in.Byte() & 0x80) features.actionScript = true; // clip actions
}

// DefineButton carries its actions after the records; DefineButton2 points at them and
// its records may carry filters and blend modes, read past.
void ReadButton(Scanner& in, uint16_t code, MovieFeatures& features) {
    in.U16(); // id
    uint32_t actionOffset = 0;
    if (code == kDefineButton2) {
        in.Byte(); // menu flag
        actionOffset = in.U16();
    }
    for (uint32_t flags = in.Byte(); flags != 0 && !in.Failed(); flags = in.Byte()) {
        in.Skip(4); // character, depth
        in.SkipMatrix();
        if (code == kDefineButton) continue;
        in.SkipCxformWithAlpha();
        if (flags & 0x10) SkipFilters(in);
        if (flags & 0x20) in.Byte(); // blend mode
    }
    if (code == kDefineButton2 ? actionOffset != 0 : (in.Byte() != 0 && !in.Failed()))
        features.actionScript = true;
}

void ScanTags(Scanner& in, MovieFeatures& features, int depth);

void ReadTag(uint16_t code, Scanner body, MovieFeatures& features, int depth) {
    switch (code) {
    case kDoAction:
    case kDoInitAction:
    case kDoAbc:
    case kDoAbc2:
        features.actionScript = true;
        break;
    case kDefineSound:
    case kStartSound:
    case kStartSound2:
    case kDefineButtonSound:
    case kSoundStreamHead:
    case kSoundStreamHead2:
    case kSoundStreamBlock:
        features.sounds = true;
        break;
    case kDefineVideoStream:
    case kVideoFrame:
        features.video = true;
        break;
    case kPlaceObject2:
    case kPlaceObject3:
        ReadPlaceObject(body, features);
        break;
    case kDefineButton:
    case kDefineButton2:
        ReadButton(body, code, features);
        break;
    case kDefineSprite:
        body.Skip(4); // id, frame count
        if (depth == 0) ScanTags(body, features, depth + 1);
        break;
    default:
        break;
    }
}

void ScanTags(Scanner& in, MovieFeatures& features, int depth) {
    while (!in.AtEnd()) {
        const uint32_t header = in.U16();
        const uint16_t code = uint16_t(header >> 6);
        uint32_t length = header & 0x3F;
        if (length == 0x3F) length = in.U32();
        if (in.Failed() || code == kEnd) return;
        const uint8_t* body = in.At();
        in.Skip(length);
        if (in.Failed()) return;
        ReadTag(code, Scanner(body, body + length), features, depth);
    }
}

} // namespace

std::vector<std::string> MovieFeatures::Phrases() const {
    std::vector<std::string> phrases;
    if (actionScript) phrases.push_back("ActionScript (not run)");
    if (sounds) phrases.push_back("sounds (ignored)");
    if (video) phrases.push_back("video streams (not drawn)");
    return phrases;
}

std::vector<std::string> MovieFeatures::Keys() const {
    std::vector<std::string> keys;
    if (actionScript) keys.push_back("actionscript");
    if (sounds) keys.push_back("sounds");
    if (video) keys.push_back("video");
    return keys;
}

std::string MovieFeatures::Notice() const {
    const std::vector<std::string> phrases = Phrases();
    if (phrases.empty()) return {};
    std::string notice = "uses";
    for (size_t i = 0; i < phrases.size(); ++i) notice += (i == 0 ? " " : ", ") + phrases[i];
    return notice + ": frames may differ from a player";
}

MovieFeatures ScanMovie(const std::vector<uint8_t>& movie) {
    MovieFeatures features;
    if (movie.size() < 9) return features;
    features.version = movie[3];
    Scanner in(movie.data() + 8, movie.data() + movie.size());
    in.Skip((5 + 4 * in.Bits(5) + 7) / 8 - 1); // the frame rectangle, its first byte read
    in.Skip(4);                                // frame rate, frame count
    if (!in.Failed()) ScanTags(in, features, 0);
    return features;
}

MovieFeatures ScanMovieFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> movie{std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>()};
    return ScanMovie(movie);
}
