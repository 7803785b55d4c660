// Every type of the workspace model in one include: what the workspaces file holds and what the
// rest of the program reads from the workspace manager.
#pragma once

#include "Models/AppCompatibilityNotes.h"
#include "Models/AppRole.h"
#include "Models/Layout.h"
#include "Models/LayoutCheckpoint.h"
#include "Models/LayoutType.h"
#include "Models/ManagedApp.h"
#include "Models/RectModel.h"
#include "Models/ShortcutConfig.h"
#include "Models/SizeModel.h"
#include "Models/SplitDirection.h"
#include "Models/SplitNode.h"
#include "Models/ThreeColumnsState.h"
#include "Models/Uuid.h"
#include "Models/Workspace.h"
