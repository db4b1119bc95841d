#include "audio/GetWaveBufferThread.h"

#include "audio/AudioSource.h"
#include "audio/WaveOutput.h"

#include <cstring>

TGetWaveBufferThread::TGetWaveBufferThread(TWaveOutput *Output) : output_(Output)
{
    thread_ = std::thread([this] { Execute(); });
}

TGetWaveBufferThread::~TGetWaveBufferThread()
{
    {
        std::lock_guard<std::mutex> g(lock_);
        terminated_ = true;
        request_ = TRequest();
        source_ = nullptr;
        event_.notify_all();
    }
    thread_.join();
}

void TGetWaveBufferThread::SetSource(TAudioSource *Source)
{
    {
        std::lock_guard<std::mutex> g(lock_);
        source_ = Source;
    }
    std::lock_guard<std::mutex> wait(fillLock_);
}

void TGetWaveBufferThread::Request(WAVEHDR *Header, uint32_t Bytes, uint32_t Session)
{
    std::lock_guard<std::mutex> g(lock_);
    request_ = TRequest{Header->lpData, Bytes, Header, Session};
    ++requested_;
    signalled_ = true;
    event_.notify_one();
}

void TGetWaveBufferThread::Flush()
{
    {
        std::lock_guard<std::mutex> g(lock_);
        request_ = TRequest();
        signalled_ = false;
        takenUpTo_ = requested_;
    }
    std::lock_guard<std::mutex> wait(fillLock_);
}

bool TGetWaveBufferThread::WaitTaken(std::chrono::milliseconds Timeout)
{
    std::unique_lock<std::mutex> g(lock_);
    return taken_.wait_for(g, Timeout, [this] { return takenUpTo_ >= requested_; });
}

void TGetWaveBufferThread::Execute()
{
    for (;;) {
        TRequest request;
        TAudioSource *source;
        std::unique_lock<std::mutex> filling(fillLock_, std::defer_lock);
        {
            std::unique_lock<std::mutex> g(lock_);
            event_.wait(g, [this] { return signalled_ || terminated_; });
            if (terminated_)
                return;
            signalled_ = false;
            request = request_;
            request_ = TRequest();
            source = source_;
            takenUpTo_ = requested_;
            taken_.notify_all();
            // Taken before the slot's lock is left, so that SetSource cannot slip in
            // between choosing the source and using it.
            filling.lock();
        }
        if (!request.header)
            continue;
        busy_ = true;
        char *data = request.data;
        const uint32_t bytes = request.bytes;
        // A source that fails counts as silent and inactive, so that the buffers keep
        // circulating and the device still closes by itself.
        bool failed = false;
        try {
            if (source)
                source->FillBuffer(data, bytes);
        } catch (...) {
            failed = true;
        }
        if (!source || failed)
            std::memset(data, 0, bytes);
        output_->WriteBuffer(request.header, request.session);
        bool active = !source;
        try {
            if (source && !failed)
                active = source->IsActive();
        } catch (...) {
        }
        output_->IdleCheck(active, request.session);
        busy_ = false;
    }
}
