#pragma once
// The pictures of a video file's first video stream, read forward: the picture shown at
// each time asked for, as packed 24-bit RGB at the stream's own size. seek() starts the
// reading again elsewhere.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kel {

class VideoPictures
{
  public:
    VideoPictures();
    ~VideoPictures();
    VideoPictures(const VideoPictures&) = delete;
    VideoPictures& operator=(const VideoPictures&) = delete;

    // True when `file` opens and has a video stream a decoder here can read.
    static bool has_video_stream(const std::string& file);

    bool open(const std::string& file);
    int width() const;
    int height() const;

    // The picture shown at `seconds` (times asked for only ever grow): the last one that
    // starts at or before it, the first one before the first. False once `seconds` lies
    // past the last picture's end, or when the file cannot be decoded (then failed()).
    bool picture_at(double seconds, std::vector<uint8_t>& rgb);
    bool failed() const;
    // Reads on from the key picture at or before `seconds`: times asked for may then start
    // there again.
    void seek(double seconds);

  private:
    struct Decoder;
    std::unique_ptr<Decoder> d_;
};

} // namespace kel
