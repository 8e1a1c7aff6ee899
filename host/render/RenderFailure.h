// A render inside the host (a precomp's effects, a nested frame) that failed with a plug-in
// error; the callback that asked for it answers with that error.
#pragma once
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "host/HostError.h"

namespace strandel::host {

struct RenderFailure : std::runtime_error {
    explicit RenderFailure(PF_Err code) : std::runtime_error(ErrorName(code)), err(code) {}
    PF_Err err;
};

// Why the host could not lend what the plug-in asked for while a frame renders on this thread
// (an image file that cannot be read, say). The plug-in sees only an error code and may draw the
// frame without it; the frame's caller learns the reasons. Frames nest: what an inner frame
// collects reaches the outer one as well.
class LendingProblems {
public:
    explicit LendingProblems(std::vector<std::string>& sink) : sink_(sink), first_(sink.size()), outer_(current_)
    {
        current_ = this;
    }
    ~LendingProblems()
    {
        current_ = outer_;
        if (outer_) outer_->sink_.insert(outer_->sink_.end(), sink_.begin() + first_, sink_.end());
    }
    LendingProblems(const LendingProblems&) = delete;
    LendingProblems& operator=(const LendingProblems&) = delete;

    static void Note(const std::string& what)
    {
        if (current_) current_->sink_.push_back(what);
    }

private:
    std::vector<std::string>& sink_;
    std::size_t first_; // what this scope collected starts here
    LendingProblems* outer_;
    static inline thread_local LendingProblems* current_ = nullptr;
};

// Runs `work` and turns what it throws into the error code a host callback returns.
template <class Work>
PF_Err GuardRender(Work&& work) noexcept
{
    try {
        work();
        return PF_Err_NONE;
    } catch (const RenderFailure& failure) {
        return failure.err;
    } catch (const std::bad_alloc&) {
        LendingProblems::Note("out of memory");
        return PF_Err_OUT_OF_MEMORY;
    } catch (const std::exception& e) {
        LendingProblems::Note(e.what());
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    } catch (...) {
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}

} // namespace strandel::host
