// What registration and unregistration tell the user. A registry routine
// throws one of these texts itself and shows it from its one handler.
#pragma once

#include "registration/registration_outcome.h"

inline constexpr char kRegistryOpenFailedMessage[] =
    "RegOpenKeyExのエラーです\nレジストリをオープンできませんでした";
inline constexpr char kRegistrySetFailedMessage[] =
    "RegSetValueExのエラーです\n値をセットできませんでした";
inline constexpr char kMimeTypeInUseMessage[] =
    "application/x-tv-program-infoは他のアプリで使用されています。\n登録を中止します。";
inline constexpr char kAlreadyInstalledMessage[] =
    "既に１度インストールしているようなのですけどぉ～";
inline constexpr char kRegisteredMessage[] = "登録は正常に行われました";

inline constexpr char kForeignRegistrationMessage[] = "他のアプリにより登録された情報です。";
inline constexpr char kUnregisterRefusedMessage[] = "登録解除はできません";
inline constexpr char kUnregisteredMessage[] = "登録解除は正常に行われました";
inline constexpr char kUnregisterFailedMessage[] =
    "登録解除できませんでした\n登録解除には管理者の権限が必要です";

// The outcome of a run that ends with the raised `message`.
inline RegistrationOutcome OutcomeOfMessage(const char* message)
{
    if (message == kAlreadyInstalledMessage) {
        return RegistrationOutcome::AlreadyRegistered;
    }
    if (message == kMimeTypeInUseMessage || message == kForeignRegistrationMessage) {
        return RegistrationOutcome::Refused;
    }
    return RegistrationOutcome::Failed;
}
