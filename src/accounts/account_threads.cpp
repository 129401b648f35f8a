#include "accounts/account_threads.h"

#include <utility>

LoginThread::LoginThread(AccountService& service, LoginView& report, LoginRequestKind kind, std::string user,
                         std::string password, bool firstRun)
    : m_thread([this, &service, &report, kind, user = std::move(user), password = std::move(password),
                firstRun](const std::stop_token& stop) {
          const LoginResult result = service.logIn(kind, user, password, firstRun, stop);
          switch (result.outcome) {
              case LoginOutcome::Accepted:
              case LoginOutcome::AcceptedCompact:
                  report.loginSucceeded(result.account);
                  break;
              case LoginOutcome::Failed:
                  report.loginFailed(result.text);
                  break;
              case LoginOutcome::VersionRefused:
                  report.versionRefused(result.text);
                  break;
              case LoginOutcome::Stopped:
                  break;
          }
          m_finished.store(true);
      }) {}

ProfileUpdateThread::ProfileUpdateThread(AccountService& service, ProfileUpdateView& report,
                                         PlayerProfile shown, std::string bio)
    : m_thread([this, &service, &report, shown, bio = std::move(bio)](const std::stop_token& stop) {
          const UpdateResult result = service.updateProfile(shown, bio, stop);
          switch (result.outcome) {
              case UpdateOutcome::Updated:
                  report.profileUpdated();
                  break;
              case UpdateOutcome::TimedOut:
                  report.profileUpdateFailed(result.text, true);
                  break;
              case UpdateOutcome::UnknownAnswer:
                  report.profileUpdateFailed(result.text, false);
                  break;
              case UpdateOutcome::Stopped:
                  break;
          }
          m_finished.store(true);
      }) {}
