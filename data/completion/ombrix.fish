# SPDX-License-Identifier: GPL-3.0-or-later
# fish completion for ombrix

# Sizes of the connected screens in device pixels: from the X server where
# one is there, else from the kernel's display connectors (any session).
function __ombrix_screen_sizes
    if set -q DISPLAY; and command -sq xrandr
        xrandr --current 2>/dev/null | string replace -rf '^\S+ connected (?:primary )?(\d+x\d+)\+.*' '$1'
    end
    for status_file in /sys/class/drm/*/status
        if test -r $status_file; and test (cat $status_file) = connected
            head -n 1 (dirname $status_file)/modes 2>/dev/null
        end
    end
end

# Folders, and files whose names end in one of the given suffixes (any case).
function __ombrix_files
    set -l token (commandline -ct)
    set -l suffixes (string escape --style=regex -- $argv | string join '|')
    for f in $token*
        if test -d $f
            echo $f/
        else if string match -qi -r -- "($suffixes)\$" $f
            echo $f
        end
    end
end

set -l commands render params wallpaper
complete -c ombrix -f
# The desktop program opens a parameter file; a command takes one too.
complete -c ombrix -k -a '(__ombrix_files .obp)'
complete -c ombrix -n "not __fish_seen_subcommand_from $commands" -a render -d 'Draw the image into a PNG, JPEG or BMP file'
complete -c ombrix -n "not __fish_seen_subcommand_from $commands" -a params -d 'Print the parameters as JSON'
complete -c ombrix -n "not __fish_seen_subcommand_from $commands" -a wallpaper -d 'Make the image the desktop wallpaper'
complete -c ombrix -n "not __fish_seen_subcommand_from $commands" -s v -l version -d 'Print the version'
complete -c ombrix -s h -l help -d 'Print the usage'

complete -c ombrix -n "__fish_seen_subcommand_from $commands" -l preset -x -a '0\t"new image" 1 2 3\t"start-up image"' -d 'Start from a preset'
complete -c ombrix -n "__fish_seen_subcommand_from render wallpaper" -l size -x -a '(__ombrix_screen_sizes)' -d 'Picture size WxH'
complete -c ombrix -n "__fish_seen_subcommand_from render" -l out -r -k -a '(__ombrix_files .png .jpg .jpeg .bmp)' -d 'Image file to write'
complete -c ombrix -n "__fish_seen_subcommand_from render" -l quality -x -a '100 95 90 85 80 75' -d 'JPEG quality 10..100'
complete -c ombrix -n "__fish_seen_subcommand_from render" -l gradient-text -d 'Fill the texts with the gradient'
complete -c ombrix -n "__fish_seen_subcommand_from params" -l out -r -k -a '(__ombrix_files .obp)' -d 'Also write a parameter file'
complete -c ombrix -n "__fish_seen_subcommand_from wallpaper" -l mode -x -a 'tile center stretch' -d 'Arrangement on the desktop'
complete -c ombrix -n "__fish_seen_subcommand_from wallpaper" -l list-monitors -d 'Print the monitors found'
