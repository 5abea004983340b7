# The page: its dialog procedure and everything it shows.
target_sources(vantrel_win32 PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/PageDialogProc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ControlHooks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageStores.cpp
    ${CMAKE_CURRENT_LIST_DIR}/KindSelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageStart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PageDrawing.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DialogFont.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PictureItems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ItemOrder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ItemTexts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemberPicture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IdDisplay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringListView.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PagePlayback.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CopySelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CopyMemberImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CopyCommands.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SheetEvents.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListRebuild.cpp
)
