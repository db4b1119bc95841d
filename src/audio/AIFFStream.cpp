#include "audio/AIFFStream.h"

#include "formats/AIFFFile.h"
#include "platform/Exception.h"

#include <algorithm>
#include <climits>

TAIFFStream::TAIFFStream(const QString &FileName)
{
    const std::string name = FileName.toStdString();
    std::unique_ptr<TAIFFFile> aiff = TAIFFFile::CreateFromFile(FileName);
    const TAudioFormat format = aiff->GetFormat();
    SetFormat(format.Channels, int(std::min<uint32_t>(format.SampleRate, INT_MAX)));
    bits_ = format.BitsPerSample;
    bytesPerFrame_ = format.Channels * (format.BitsPerSample / 8);
    totalFrames_ = uint32_t(std::clamp<int64_t>(format.FrameCount, 0, UINT32_MAX));
    if (totalFrames_ == 0)
        throw EModwright(name + " is not a valid AIFFFile (data chunk has zero length)");
    // Opened while the reader still maps the file, so both see the same file. The reader's
    // offset counts from the accepted image, which starts after a MacBinary header when the
    // file has one: what the file holds beyond the image is that header.
    file_ = std::make_unique<TBufferedFile>(FileName);
    const int64_t prefix = file_->size() - int64_t(aiff->GetImageSize());
    dataStart_ = std::max<int64_t>(prefix, 0) + (aiff->GetSampleData() - aiff->GetImage());
    aiff.reset();
    position_ = 0;
    file_->seek(dataStart_);
}

int TAIFFStream::Read(float *Buffer, int Frames)
{
    std::lock_guard<std::mutex> g(lock_);
    int n = int(std::min<int64_t>(std::max(Frames, 0), int64_t(totalFrames_) - position_));
    if (n > 0) {
        const size_t got = file_->read(Buffer, size_t(n) * size_t(bytesPerFrame_));
        n = int(got / size_t(bytesPerFrame_));
        position_ += uint32_t(n);
    }
    ExpandSamples(Buffer, size_t(n) * size_t(Channels()), bits_, true);
    return n;
}
