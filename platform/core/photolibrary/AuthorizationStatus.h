#pragma once

namespace platform {

/// The application's permission to read and change the photo library.
enum class AuthorizationStatus { notDetermined, restricted, denied, authorized, limited };

} // namespace platform
