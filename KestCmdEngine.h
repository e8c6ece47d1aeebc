// The whole public interface of the command engine and of the utilities it builds on.
#pragma once

#include "engine/KestCmdEngineExport.h"
#include "engine/KestCmdEngineMarker.h"

#include "engine/vocabulary/KestCmdDefs.h"
#include "engine/vocabulary/KestCmdEnumValues.h"
#include "engine/vocabulary/KestCmdItemDefs.h"

#include "engine/model/KestCmd.h"
#include "engine/model/KestCmdAutoItem.h"
#include "engine/model/KestCmdItem.h"
#include "engine/model/KestCmdItem_Util.h"
#include "engine/model/KestCmdReferenceItem.h"
#include "engine/model/KestCmdStringItem.h"
#include "engine/model/KestCmd_Util.h"
#include "engine/model/KestMatrix.h"
#include "engine/model/LumoList.h"

#include "engine/metadata/KestCmdInfoPool.h"
#include "engine/metadata/KestCmdItemMetaData.h"
#include "engine/metadata/KestCmdMetaData.h"

#include "engine/container/KestCmdContainer.h"
#include "engine/container/KestCmdContainerIterator.h"
#include "engine/container/KestCmdContainer_Util.h"

#include "engine/defaults/KestCmdContainerDefaultRules.h"
#include "engine/defaults/KestCmdContainerDefaults.h"

#include "engine/io/KestCmdIo.h"
#include "engine/io/KestCmdIoConfig.h"
#include "engine/io/KestCmdOutput.h"
#include "engine/io/KestParAddress.h"
#include "engine/io/KestParCheck.h"
#include "engine/io/KestParDocument.h"
#include "engine/io/KestParFileAdapter.h"
#include "engine/io/KestParFormat.h"
#include "engine/io/KestParKeys.h"
#include "engine/io/KestSourceMap.h"
#include "engine/io/KestXmlFileAdapter.h"

#include "engine/syntax/KestParItemSource.h"
#include "engine/syntax/KestParSyntax.h"

#include "utilities/KestFileUtil.h"
#include "utilities/KestFormatUtil.h"
#include "utilities/KestParFile.h"
#include "utilities/KestStringUtil.h"
#include "utilities/KestText.h"
#include "utilities/ZUL_Backtrace.h"
#include "utilities/ZUL_Code.h"
#include "utilities/ZUL_Exception.h"
#include "utilities/ZUL_LogMacros.h"
