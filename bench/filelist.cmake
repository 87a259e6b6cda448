# The window's file list filled from a large folder: filelist-bench [--files N] [--repeat N] [--keep]
if(TARGET pagesmith_ui)
    add_executable(filelist-bench ${CMAKE_CURRENT_LIST_DIR}/filelist_bench.cpp)
    target_link_libraries(filelist-bench PRIVATE pagesmith_ui pagesmith_bench_support)
endif()
