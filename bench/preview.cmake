# The page preview's first view against tiff2rgba of the same page: preview-bench [--runs N] [--keep]
add_executable(preview-bench ${CMAKE_CURRENT_LIST_DIR}/preview_bench.cpp)
target_link_libraries(preview-bench PRIVATE pagesmith_core pagesmith_bench_support)
