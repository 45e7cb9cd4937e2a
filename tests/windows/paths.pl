#!/usr/bin/perl
# paths.pl FOLDER FILE...: writes FOLDER, in its Linux form (/a/b) and in the forms a
# Windows program under wine writes it (Z:\a\b, Z:/a/b, and Z:\\a\\b in JSON), as CASE
# into each FILE, and the separators of the rest of such a path as '/'. Files are
# read and written as bytes (logs are Windows-1252).
use strict;
use warnings;

my $folder = shift @ARGV;
(my $back = $folder) =~ s{/}{\\}g;
(my $json = $folder) =~ s{/}{\\\\}g;
my @forms = ("Z:$json", "Z:$back", "Z:$folder", $folder);
for my $file (@ARGV) {
    open(my $in, '<:raw', $file) or die "$file: $!";
    local $/;
    my $text = <$in>;
    close $in;
    for my $form (@forms) {
        $text =~ s{\Q$form\E([^"\r\n]*)}{
            my $rest = $1;
            $rest =~ s{\\\\|\\}{/}g;
            "CASE$rest";
        }ge;
    }
    open(my $out, '>:raw', $file) or die "$file: $!";
    print $out $text;
    close $out;
}
