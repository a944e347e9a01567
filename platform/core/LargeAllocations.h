#pragma once

/// How the process's allocator treats big blocks.
namespace platform {

/// Makes every allocation of 4 MiB or more a mapping of its own, returned to the system when
/// freed. The preview decodes photos into buffers of about 12 MB, one after another; with
/// glibc's adaptive threshold those land in the heap after the first one is freed, and the
/// heap keeps hundreds of megabytes it never gives back. Freed memory at the top of the heap
/// is kept up to 8 MiB, so that the pictures a view makes and drops all the time reuse their
/// pages. Call once at start-up.
void returnLargeAllocationsToSystem();

} // namespace platform
