#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// While it lives, the calling thread (and threads it starts) obeys file permissions even
// when running as root: the capabilities that override them are taken out of the
// effective set and put back at the end. Without effect for other users, who obey them
// anyway. `active()` says whether permissions are now in force.
class TNoFileOverride {
public:
    TNoFileOverride()
    {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        header_.pid = 0;
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct changed[2] = {saved_[0], saved_[1]};
        changed[0].effective &=
            ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        changed_ = syscall(SYS_capset, &header_, changed) == 0;
    }
    ~TNoFileOverride()
    {
        if (changed_)
            syscall(SYS_capset, &header_, saved_);
    }
    TNoFileOverride(const TNoFileOverride &) = delete;
    TNoFileOverride &operator=(const TNoFileOverride &) = delete;

    bool active() const { return changed_ || geteuid() != 0; }

private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool changed_ = false;
};
