#pragma once

#include <string>
#include <vector>

#include "launch/launch_target.h"

class MessageBoxes;
class QWidget;

// Before a launch: when `server` lacks PWADs (its IWAD at hand) and the player
// has WAD sites, asks once whether to fetch them, and fetches them with the
// download dialog. Returns whether the launch goes on: after the fetch, or when
// the player says No or nothing is missing (the launch then tells of the missing
// files as always); not after a failed fetch, whose message names the file, the
// sites tried and why, nor after Cancel.
bool offerWadDownload(const LaunchTarget& server, const std::vector<std::string>& sites, MessageBoxes& boxes,
                      QWidget* parent);
