#pragma once

#include <string_view>

// What the account service shows the user, word for word.

// The project's web site, named in the version refusal.
inline constexpr std::string_view kWebHost = "www.pellrig.example";

// Checks of the log-in dialog, in the order they are made.
inline constexpr char kNoUserName[] = "You must enter a username.\n";
inline constexpr char kNoPassword[] = "You must enter a password.\n";
inline constexpr char kUserNameTooLong[] = "Username must be no more than 16 characters.\n";
inline constexpr char kPasswordTooLong[] = "Password must be no more than 16 characters.\n";

// Failures of the log-in exchange.
inline constexpr char kNoConnection[] = "Unable to establish a connection";
inline constexpr char kNoSuchAccount[] = "That account does not exist";
inline constexpr char kAccountExists[] = "That account already exists";
inline constexpr char kBadPassword[] = "Invalid Password";
inline constexpr char kVersionRefusalCaption[] = "Error Time!";

// Failures of the profile update: an answer that is not the acknowledgement,
// and no answer at all.
inline constexpr char kUnknownMessage[] = "Unknown message\n";
inline constexpr char kUpdateFailed[] = "Update failed. Please try again";

inline constexpr char kModifyUserFormat[] =
    "Are you sure you want to change %s's information?\n\nBio: %s\nExperience: %d\nAccount: %d";
inline constexpr char kModifyUserCaption[] = "Modify another user?";

inline constexpr char kNothingInNameBox[] = "Nothing in the name box.";
inline constexpr char kConfirmDelete[] = "WHOA!\n\nAre you *POSITIVE* that you want to delete this account?";
inline constexpr char kConfirmDeleteCaption[] = "BLASphemy!";

inline constexpr char kNotFoundFormat[] = "No information found for %s\n";
inline constexpr char kDeletedFormat[] = "%s's account deleted.\n";

inline constexpr char kNoAccess[] = "No access";
inline constexpr char kNoServerSelected[] = "Enable Server: No server selected\n";
