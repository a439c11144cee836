// fdatasync() of the test program, standing in for the C library's: it
// notes the threads that called it and, while asked to, fails as a dying
// disk does, so that a failed forced write can be tested.
#pragma once

#include <thread>

/// Every later fdatasync() fails with \a error; 0 lets them through again.
void failForcedWritesWith(int error);
/// Forgets the threads that called fdatasync() so far.
void forgetForcedWrites();
/// Whether \a thread called fdatasync() since the last forgetForcedWrites().
bool forcedWriteOn(std::thread::id thread);
