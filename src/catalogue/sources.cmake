# The resource catalogue: the target opened, its records and the list builders.
target_sources(vantrel_win32 PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/MapNeImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RecordStore.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StringList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AviItems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BitmapItems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupItems.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupMembers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GroupPicture.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImageIndex.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceListBuild.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ResourceKinds.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ListMetrics.cpp
)
