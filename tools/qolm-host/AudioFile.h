// Audio files through libsndfile: a reader of interleaved doubles, and a
// writer that fills a temporary file beside the target and renames it into
// place only when everything was written, so a failed render leaves nothing.
#pragma once

#include <sndfile.h>

#include <string>

namespace qhost {

// What a source delivers: interleaved frames at a rate.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual int channels() const = 0;
    virtual int sampleRate() const = 0;
    // Frames in total; 0 when unknown.
    virtual long long frames() const = 0;
    // Up to `count` interleaved frames into out; the number read, 0 at the
    // end, -1 on a read error.
    virtual long long read(double* out, long long count) = 0;
};

class AudioFileReader : public AudioSource {
public:
    AudioFileReader() = default;
    ~AudioFileReader() override;
    AudioFileReader(const AudioFileReader&) = delete;
    AudioFileReader& operator=(const AudioFileReader&) = delete;

    bool open(const std::string& path, std::string& error);
    int channels() const override { return info.channels; }
    int sampleRate() const override { return info.samplerate; }
    long long frames() const override { return info.frames; }
    long long read(double* out, long long count) override;
    int format() const { return info.format; }

private:
    SNDFILE* file = nullptr;
    SF_INFO info{};
};

class AudioFileWriter {
public:
    AudioFileWriter() = default;
    // Removes the temporary file unless commit() succeeded.
    ~AudioFileWriter();
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    // format is a libsndfile major format and subtype.
    bool open(const std::string& path, int format, int channels, int sampleRate, std::string& error);
    bool write(const float* interleaved, long long frames);
    bool write(const double* interleaved, long long frames);
    // Closes the file and moves it to its final name.
    bool commit(std::string& error);
    // Closes and removes the temporary file.
    void abandon();

private:
    SNDFILE* file = nullptr;
    std::string finalPath;
    std::string tempPath;
};

// The output format for an input format: the same major format, with float
// samples where that format holds them (unless keepSubtype), otherwise the
// input's own subtype. 0 when libsndfile cannot write either.
int outputFormatFor(int inputFormat, int channels, int sampleRate, bool keepSubtype);

// A major format from a file name's extension (.wav, .flac, .aiff, .ogg,
// ...); WAV when the extension says nothing known.
int majorFormatForName(const std::string& path);

// The temporary file that is being written, if any, so that an interrupted
// render can remove it (async-signal-safe to read).
const char* pendingTempFile();

}  // namespace qhost
