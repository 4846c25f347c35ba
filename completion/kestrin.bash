# SPDX-License-Identifier: MIT
# bash completion for kestrin: its commands, each command's options, their
# values, the files each option reads or writes, and the serial devices.

_kestrin_ports()
{
    local devices=() device
    for device in /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* /dev/serial/by-id/*; do
        [[ -e $device ]] && devices+=("$device")
    done
    COMPREPLY=($(compgen -W "${devices[*]} tcp:// rfc2217://" -- "$cur"))
    [[ ${#COMPREPLY[@]} -eq 1 && $COMPREPLY == *:// ]] && compopt -o nospace
    __ltrim_colon_completions "$cur"
}

_kestrin()
{
    local cur prev words cword split
    _init_completion -s -n : || return

    local sources="--upper --lower --display --frame --text --text-file --font
        --size --align --valign --fit --threshold --dither --invert"
    local options="-h --help --help-all -v --version --port --list-ports $sources"
    case ${words[1]} in
        convert) options="-h --help -o --output $sources --play --delay --format" ;;
        serve) options="-h --help --port --watch --verbose $sources --play --delay --loop
            --speed --lcdproc" ;;
    esac

    case $prev in
        --port) _kestrin_ports; return ;;
        --upper | --lower | --display)
            _filedir 'png|bmp|jpg|jpeg|gif|pbm|pgm|ppm|xbm|xpm|svg|svgz|webp|tif|tiff|tga|icns|wbmp'
            return ;;
        --frame) _filedir 'bin|txt|png|pbm|bmp'; return ;;
        --text-file) _filedir txt; return ;;
        --font)
            COMPREPLY=($(compgen -W builtin -- "$cur"))
            _filedir 'bdf|pcf|pcf.gz|ttf|otf'
            return ;;
        --play) _filedir 'gif|png|webp'; return ;;
        -o | --output) _filedir 'bin|txt|h|png|pbm|bmp'; return ;;
        --fit) COMPREPLY=($(compgen -W 'fit fill stretch' -- "$cur")); return ;;
        --threshold) COMPREPLY=($(compgen -W auto -- "$cur")); return ;;
        --dither) COMPREPLY=($(compgen -W 'none diffuse ordered' -- "$cur")); return ;;
        --align) COMPREPLY=($(compgen -W 'left center right' -- "$cur")); return ;;
        --valign) COMPREPLY=($(compgen -W 'top middle bottom' -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W 'bin txt png pbm bmp' -- "$cur")); return ;;
        --text | --size | --delay | --loop | --speed | --lcdproc) return ;;
    esac
    $split && return

    if [[ $cword -eq 1 && $cur != -* ]]; then
        COMPREPLY=($(compgen -W 'convert serve --list-ports' -- "$cur"))
    else
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    fi
} && complete -F _kestrin kestrin
