#include "AudioFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qhost {

namespace {

// A fixed buffer rather than a std::string, so that a signal handler may read it.
char gPendingTemp[4096] = {};

void setPending(const std::string& path) {
    if (path.size() < sizeof(gPendingTemp)) {
        std::memcpy(gPendingTemp, path.c_str(), path.size() + 1);
    } else {
        gPendingTemp[0] = 0;
    }
}

}  // namespace

const char* pendingTempFile() { return gPendingTemp; }

// ---------------------------------------------------------------------------

AudioFileReader::~AudioFileReader() {
    if (file) sf_close(file);
}

bool AudioFileReader::open(const std::string& path, std::string& error) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = path + ": is a folder, not an audio file";
        return false;
    }
    info = SF_INFO{};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = path + ": not an audio file libsndfile can read (" + sf_strerror(nullptr) + ")";
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1) {
        error = path + ": the file declares no channels or no sample rate";
        return false;
    }
    return true;
}

long long AudioFileReader::read(double* out, long long count) {
    if (!file) return -1;
    const sf_count_t n = sf_readf_double(file, out, count);
    if (n < count && sf_error(file) != SF_ERR_NO_ERROR) return -1;
    return n;
}

// ---------------------------------------------------------------------------

AudioFileWriter::~AudioFileWriter() { abandon(); }

bool AudioFileWriter::open(const std::string& path, int format, int channels, int sampleRate, std::string& error) {
    abandon();
    finalPath = path;
    std::string pattern = path + ".tmp-XXXXXX";
    std::string buffer = pattern;
    const int fd = mkstemp(buffer.data());
    if (fd < 0) {
        error = "cannot create " + pattern + ": " + std::strerror(errno);
        return false;
    }
    tempPath = buffer;
    setPending(tempPath);
    // mkstemp makes the file private; the result should look like any other
    // file the user creates.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);

    SF_INFO info{};
    info.channels = channels;
    info.samplerate = sampleRate;
    info.format = format;
    file = sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE);
    if (!file) {
        error = "cannot write " + path + " in that format (" + sf_strerror(nullptr) + ")";
        close(fd);
        abandon();
        return false;
    }
    // Integer formats clip rather than wrap around.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

bool AudioFileWriter::write(const float* interleaved, long long frames) {
    return file && sf_writef_float(file, interleaved, frames) == frames;
}

bool AudioFileWriter::write(const double* interleaved, long long frames) {
    return file && sf_writef_double(file, interleaved, frames) == frames;
}

bool AudioFileWriter::commit(std::string& error) {
    if (!file) {
        error = "nothing to write";
        return false;
    }
    const int closed = sf_close(file);
    file = nullptr;
    if (closed != 0) {
        error = "cannot finish " + finalPath + ": " + sf_error_number(closed);
        abandon();
        return false;
    }
    if (std::rename(tempPath.c_str(), finalPath.c_str()) != 0) {
        error = "cannot rename " + tempPath + " to " + finalPath + ": " + std::strerror(errno);
        abandon();
        return false;
    }
    tempPath.clear();
    gPendingTemp[0] = 0;
    return true;
}

void AudioFileWriter::abandon() {
    if (file) {
        sf_close(file);
        file = nullptr;
    }
    if (!tempPath.empty()) {
        unlink(tempPath.c_str());
        tempPath.clear();
    }
    gPendingTemp[0] = 0;
}

// ---------------------------------------------------------------------------

int outputFormatFor(int inputFormat, int channels, int sampleRate, bool keepSubtype) {
    const int major = inputFormat & SF_FORMAT_TYPEMASK;
    SF_INFO probe{};
    probe.channels = channels;
    probe.samplerate = sampleRate;
    if (!keepSubtype) {
        probe.format = major | SF_FORMAT_FLOAT;
        if (sf_format_check(&probe)) return probe.format;
    }
    probe.format = major | (inputFormat & SF_FORMAT_SUBMASK);
    if (sf_format_check(&probe)) return probe.format;
    return 0;
}

int majorFormatForName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return SF_FORMAT_WAV;
    const std::string ext = path.substr(dot + 1);
    struct Entry {
        const char* ext;
        int major;
    };
    static const Entry kTable[] = {
        {"wav", SF_FORMAT_WAV},   {"wave", SF_FORMAT_WAV}, {"flac", SF_FORMAT_FLAC},  {"aif", SF_FORMAT_AIFF},
        {"aiff", SF_FORMAT_AIFF}, {"aifc", SF_FORMAT_AIFF}, {"ogg", SF_FORMAT_OGG},   {"oga", SF_FORMAT_OGG},
        {"au", SF_FORMAT_AU},     {"snd", SF_FORMAT_AU},   {"caf", SF_FORMAT_CAF},    {"w64", SF_FORMAT_W64},
        {"rf64", SF_FORMAT_RF64},
    };
    for (const Entry& e : kTable)
        if (strcasecmp(ext.c_str(), e.ext) == 0) return e.major;
    return SF_FORMAT_WAV;
}

}  // namespace qhost
